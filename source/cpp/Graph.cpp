#include "cpp/Graph.h"

#include "cpp/Bone.h"
#include "cpp/BoneNode.h"
#include "cpp/CollectorVisitor.h"
#include "cpp/GroupNode.h"
#include "cpp/IShadowedPointLight.h"

namespace sg {

Graph::Graph() : _boneRoot(std::make_shared<BoneNode>()), _root(std::make_shared<GroupNode>()) {}

Graph::~Graph() = default;

Node* Graph::findNode(const std::string& name) const {
    CollectorVisitor collector([&name](Node* node) { return node->_name == name; },
                               CollectorVisitor::FirstMatch);
    _root->accept(&collector);
    const std::vector<Node*>& found = collector.getCollected();
    return found.empty() ? nullptr : found.front();
}

void Graph::addBone(const std::string& name, std::shared_ptr<Bone> bone) {
    _bones.emplace(name, std::move(bone));
    _boneIndices.emplace(name, _nextBoneIndex);
    ++_nextBoneIndex;
}

void Graph::addLight(std::shared_ptr<IShadowedPointLight> light) {
    _lights.push_back(std::move(light));
    _hasLights = true;
}

void Graph::setAnimations(std::vector<Animation> animations) {
    _animations = std::move(animations);
    _hasAnimations = !_animations.empty();
}

}  // namespace sg
