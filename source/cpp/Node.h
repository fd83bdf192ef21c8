// Base of every scene-graph node.
//
// Nodes are shared objects: a parent owns its children through shared references in
// insertion order, and the child keeps a plain back link to its parent that nothing
// relies on. accept() walks a subtree with a visitor (double dispatch): the node's
// visit, then (if the visitor's keepGoing() says so, asked once) every child in
// order, then the node's leave.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace sg {

class IVisitor;

class Node {
public:
    Node() = default;
    Node(const Node&) = delete;
    Node& operator=(const Node&) = delete;
    virtual ~Node() = default;

    virtual void accept(IVisitor* visitor) = 0;
    // No check for an existing parent: the same node may be added more than once.
    virtual void addChild(std::shared_ptr<Node> child);
    virtual std::vector<std::shared_ptr<Node>>& getChildren() { return _children; }

    Node* parent() const { return _parent; }
    int32_t id() const { return _id; }

    // Written directly by the importer.
    std::string _name;

protected:
    // Takes the next value of the process-wide id counter (groups and geometries only).
    static int32_t drawNextId();
    // Visits the children in order, each kept alive by its own copy for its walk.
    void acceptChildren(IVisitor* visitor);

    Node* _parent = nullptr;
    std::vector<std::shared_ptr<Node>> _children;
    int32_t _id = 0;
};

}  // namespace sg
