// Imported key-framed animation data. Each key is kept as a matrix (scaling,
// translation or rotation) with its time in ticks; channels point at the graph's
// node of the same name. Stored only; nothing plays it back.
#pragma once

#include <glm/glm.hpp>

#include <string>
#include <vector>

namespace sg {

class Node;

struct MatrixKey {
    double time = 0.0;
    glm::mat4 matrix{1.0f};
};

struct AnimationChannel {
    Node* _node = nullptr;  // owned by the graph
    std::vector<MatrixKey> _scalingKeys;
    std::vector<MatrixKey> _positionKeys;
    std::vector<MatrixKey> _rotationKeys;
};

struct Animation {
    std::string _name;
    std::vector<AnimationChannel> _channels;
    double _duration = 0.0;
    double _ticksPerSecond = 0.0;
};

}  // namespace sg
