#include "cpp/Node.h"

#include "cpp/IVisitor.h"

namespace sg {

namespace {
int32_t nextNodeId = 0;
}

int32_t Node::drawNextId() {
    return nextNodeId++;
}

void Node::addChild(std::shared_ptr<Node> child) {
    child->_parent = this;
    _children.push_back(std::move(child));
}

void Node::acceptChildren(IVisitor* visitor) {
    if (!visitor->keepGoing()) return;
    // Index loop: a visitor may add children while walking, which would invalidate iterators.
    for (size_t i = 0; i < _children.size(); ++i) {
        std::shared_ptr<Node> child = _children[i];
        child->accept(visitor);
    }
}

}  // namespace sg
