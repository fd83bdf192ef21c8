#include "cpp/AbstractScene.h"

AbstractScene::~AbstractScene() = default;

void AbstractScene::setProjection(const glm::mat4& projection) {
    _projection = projection;
}

void AbstractScene::resize(int, int) {}

void AbstractScene::reset() {}

std::vector<std::string> AbstractScene::trackNames() const {
    std::vector<std::string> names;
    names.reserve(_parameters.size());
    for (const auto& entry : _parameters) names.push_back(entry.first);
    return names;
}

void AbstractScene::registerTrack(const std::string& name) {
    _parameters.emplace(name, 0.0);
}
