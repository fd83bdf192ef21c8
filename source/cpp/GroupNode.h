// A node that only groups its children. A RenderVisitor restarts the accumulated
// transform at identity below every group.
#pragma once

#include "cpp/IVisitor.h"
#include "cpp/Node.h"

namespace sg {

class GroupNode : public Node {
public:
    GroupNode() { _id = drawNextId(); }

    void accept(IVisitor* visitor) override {
        visitor->visit(this);
        acceptChildren(visitor);
        visitor->leave(this);
    }
};

}  // namespace sg
