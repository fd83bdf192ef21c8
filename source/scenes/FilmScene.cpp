#include "scenes/FilmScene.h"

#include "scenes/TestGeometry.h"

std::shared_ptr<AbstractScene> createFilmScene() {
    return std::make_shared<TestGeometry>();
}
