// A node carrying a local transform (column-major) relative to its parent.
#pragma once

#include "cpp/IVisitor.h"
#include "cpp/Node.h"

#include <glm/glm.hpp>

namespace sg {

class TransformNode : public Node {
public:
    explicit TransformNode(const glm::mat4& matrix) : _matrix(matrix) {}

    void accept(IVisitor* visitor) override {
        visitor->visit(this);
        acceptChildren(visitor);
        visitor->leave(this);
    }
    virtual bool getFlag() const { return _flag; }
    virtual glm::mat4 getMatrix() const { return _matrix; }

protected:
    glm::mat4 _matrix;
    bool _flag = false;
};

}  // namespace sg
