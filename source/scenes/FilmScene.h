// The film's scene, as the presentation driver creates it.
//
// Needs a current GL context; the scene's constructor does all its loading.
#pragma once

#include "cpp/AbstractScene.h"

#include <memory>

std::shared_ptr<AbstractScene> createFilmScene();
