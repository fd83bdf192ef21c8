#include "cpp/GeometryNode.h"

#include "cpp/VertexAttributes.h"
#include "platform/Assert.h"

namespace sg {

GeometryNode::GeometryNode(std::shared_ptr<VertexAttributes> geometry) : _geometry(std::move(geometry)) {
    _id = drawNextId();
    HV_ASSERT(_geometry != nullptr, "source\\cpp\\GeometryNode");
    _geometry->create();
}

GeometryNode::~GeometryNode() {
    _geometry.reset();
}

}  // namespace sg
