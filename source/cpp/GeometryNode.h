// A leaf that draws one geometry. The constructor uploads the geometry (create()),
// so a GL context must be current when a GeometryNode is made.
#pragma once

#include "cpp/IVisitor.h"
#include "cpp/Node.h"

#include <memory>

class VertexAttributes;

namespace sg {

class GeometryNode : public Node {
public:
    // `geometry` must not be empty.
    explicit GeometryNode(std::shared_ptr<VertexAttributes> geometry);
    ~GeometryNode() override;

    void accept(IVisitor* visitor) override {
        visitor->visit(this);
        acceptChildren(visitor);
        visitor->leave(this);
    }
    std::shared_ptr<VertexAttributes> getGeometry() const { return _geometry; }

protected:
    std::shared_ptr<VertexAttributes> _geometry;
};

}  // namespace sg
