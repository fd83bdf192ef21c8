// One imported model: the node tree under a root GroupNode, the scene's lights, the
// imported bones and animations.
//
// Contract: filled once by the importer, then only read. findNode() returns the
// first node in depth-first pre-order with exactly that name (null when none).
// addBone() keeps the first bone and index registered under a name but advances the
// index counter on every call.
#pragma once

#include "cpp/Animation.h"

#include <glm/glm.hpp>

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace sg {

class Bone;
class BoneNode;
class GroupNode;
class IShadowedPointLight;
class Node;

class Graph {
public:
    Graph();
    ~Graph();
    Graph(const Graph&) = delete;
    Graph& operator=(const Graph&) = delete;

    std::shared_ptr<GroupNode> getRoot() const { return _root; }
    std::vector<std::shared_ptr<IShadowedPointLight>>& getLights() { return _lights; }
    Node* findNode(const std::string& name) const;
    void addBone(const std::string& name, std::shared_ptr<Bone> bone);

    void addLight(std::shared_ptr<IShadowedPointLight> light);
    void setAnimations(std::vector<Animation> animations);
    void setRootTransform(const glm::mat4& matrix) { _rootTransform = matrix; }

    const std::vector<Animation>& getAnimations() const { return _animations; }
    const std::map<std::string, std::shared_ptr<Bone>>& getBones() const { return _bones; }
    const std::map<std::string, int32_t>& getBoneIndices() const { return _boneIndices; }
    const glm::mat4& getRootTransform() const { return _rootTransform; }
    bool hasAnimations() const { return _hasAnimations; }
    bool hasLights() const { return _hasLights; }
    int32_t nextBoneIndex() const { return _nextBoneIndex; }

private:
    std::shared_ptr<BoneNode> _boneRoot;
    std::shared_ptr<GroupNode> _root;
    std::vector<Animation> _animations;
    std::vector<std::shared_ptr<IShadowedPointLight>> _lights;
    std::map<std::string, std::shared_ptr<Bone>> _bones;
    std::map<std::string, int32_t> _boneIndices;
    glm::mat4 _rootTransform{1.0f};
    bool _hasAnimations = false;
    bool _hasLights = false;
    int32_t _nextBoneIndex = 0;
};

}  // namespace sg
