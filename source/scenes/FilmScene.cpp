#include "scenes/FilmScene.h"

#include "scenes/PlaceholderScene.h"

std::shared_ptr<AbstractScene> createFilmScene() {
    return std::make_shared<PlaceholderScene>();
}
