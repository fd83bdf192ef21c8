// Computes the world matrix of every geometry in a tree; draws nothing.
//
// Contract: make one per frame, call accept() on a GroupNode (the graph's root),
// then read getModelMatrices(). Each GroupNode restarts the accumulated matrix at
// identity; each TransformNode multiplies parent × local. A geometry reached
// through several nodes keeps the matrix of the last one visited. Walking from a
// node that is not a group is a caller error (assertion).
#pragma once

#include "cpp/IVisitor.h"
#include "cpp/RenderState.h"

#include <glm/glm.hpp>

#include <deque>
#include <map>
#include <memory>

class VertexAttributes;

namespace sg {

class RenderVisitor : public IVisitor {
public:
    // Ordered by the geometry object's address.
    using ModelMatrices = std::map<std::shared_ptr<VertexAttributes>, glm::mat4>;

    RenderVisitor() = default;

    void visit(BoneNode* node) override;
    void visit(GeometryNode* node) override;
    void visit(TransformNode* node) override;
    void visit(GroupNode* node) override;
    void leave(TransformNode* node) override;
    void leave(GroupNode* node) override;

    ModelMatrices getModelMatrices() const { return _modelMatrices; }
    // The current state's program, 0 when none was pushed.
    int32_t topProgram() const;

private:
    RenderState& currentState();

    std::deque<RenderState> _stateStack;
    ModelMatrices _modelMatrices;
};

}  // namespace sg
