// The transform state a RenderVisitor keeps per entered GroupNode: a stack of
// accumulated model matrices (starting at identity) and a stack of program names.
#pragma once

#include <GL/glew.h>
#include <glm/glm.hpp>

#include <cstdint>
#include <deque>

namespace sg {

struct RenderState {
    std::deque<int32_t> _programStack;
    std::deque<glm::mat4> _modelStack{glm::mat4(1.0f)};
};

}  // namespace sg
