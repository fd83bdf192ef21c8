// A bone's place in a hierarchy. The import registers bones in the Graph's maps
// rather than as nodes; the graph keeps one unattached BoneNode as its bone root.
#pragma once

#include "cpp/IVisitor.h"
#include "cpp/Node.h"

#include <memory>

namespace sg {

class Bone;

class BoneNode : public Node {
public:
    BoneNode() = default;

    void accept(IVisitor* visitor) override {
        visitor->visit(this);
        acceptChildren(visitor);
        visitor->leave(this);
    }

    std::shared_ptr<Bone> getBone() const { return _bone; }

protected:
    std::shared_ptr<Bone> _bone;
};

}  // namespace sg
