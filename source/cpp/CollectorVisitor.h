// Collects the nodes a predicate accepts, in visiting (depth-first pre-order) order.
//
// FirstMatch stops descending once something was collected (siblings of nodes on
// the current path are still entered and still collected when they match);
// AllMatches walks everything. Any other mode makes keepGoing() throw
// std::logic_error. An empty predicate throws std::bad_function_call on the first node.
#pragma once

#include "cpp/IVisitor.h"

#include <cstdint>
#include <functional>
#include <vector>

namespace sg {

class Node;

class CollectorVisitor : public IVisitor {
public:
    enum Mode : int32_t { FirstMatch = 0, AllMatches = 1 };
    using Predicate = std::function<bool(Node*)>;

    CollectorVisitor(Predicate predicate, int32_t mode);

    void visit(BoneNode* node) override;
    void visit(GeometryNode* node) override;
    void visit(TransformNode* node) override;
    void visit(GroupNode* node) override;
    bool keepGoing() override;

    const std::vector<Node*>& getCollected() const { return _collected; }

private:
    void consider(Node* node);

    Predicate _predicate;
    int32_t _mode = FirstMatch;
    std::vector<Node*> _collected;
};

}  // namespace sg
