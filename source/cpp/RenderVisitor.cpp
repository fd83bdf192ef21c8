#include "cpp/RenderVisitor.h"

#include "cpp/GeometryNode.h"
#include "cpp/GroupNode.h"
#include "cpp/TransformNode.h"
#include "platform/Assert.h"

namespace sg {

RenderState& RenderVisitor::currentState() {
    HV_ASSERT(!_stateStack.empty(), "source\\cpp\\Visitor");
    return _stateStack.back();
}

int32_t RenderVisitor::topProgram() const {
    if (_stateStack.empty() || _stateStack.back()._programStack.empty()) return 0;
    return _stateStack.back()._programStack.back();
}

void RenderVisitor::visit(BoneNode*) {}

void RenderVisitor::visit(GroupNode*) {
    _stateStack.push_back(RenderState());
    HV_ASSERT(_stateStack.size() != 0, "source\\cpp\\Visitor");
}

void RenderVisitor::leave(GroupNode*) {
    HV_ASSERT(!_stateStack.empty(), "source\\cpp\\Visitor");
    _stateStack.pop_back();
}

void RenderVisitor::visit(TransformNode* node) {
    std::deque<glm::mat4>& models = currentState()._modelStack;
    models.push_back(models.back() * node->getMatrix());
}

void RenderVisitor::leave(TransformNode*) {
    std::deque<glm::mat4>& models = currentState()._modelStack;
    // The group's identity stays at the bottom; only this transform's entry goes.
    HV_ASSERT(models.size() > 1, "source\\cpp\\Visitor");
    models.pop_back();
}

void RenderVisitor::visit(GeometryNode* node) {
    _modelMatrices[node->getGeometry()] = currentState()._modelStack.back();
}

}  // namespace sg
