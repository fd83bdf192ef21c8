// An imported bone: its name, offset matrix (mesh space to bone space, column-major)
// and the (vertex index, weight) pairs it influences, in file order. Stored only;
// nothing skins with it.
#pragma once

#include <glm/glm.hpp>

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace sg {

class Bone {
public:
    std::string _name;
    glm::mat4 _offsetMatrix{1.0f};
    std::vector<std::pair<uint32_t, float>> _weights;
};

}  // namespace sg
