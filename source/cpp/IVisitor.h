// Visitor interface for the scene graph. Every node kind calls its own visit on
// entry and leave on exit; keepGoing() is asked once per node, after visit and
// before its first child, and decides whether the children are walked.
#pragma once

namespace sg {

class BoneNode;
class GeometryNode;
class TransformNode;
class GroupNode;

class IVisitor {
public:
    virtual ~IVisitor() = default;

    virtual void visit(BoneNode* node) = 0;
    virtual void visit(GeometryNode* node) = 0;
    virtual void visit(TransformNode* node) = 0;
    virtual void visit(GroupNode* node) = 0;

    virtual void leave(BoneNode*) {}
    virtual void leave(GeometryNode*) {}
    virtual void leave(TransformNode*) {}
    virtual void leave(GroupNode*) {}

    virtual bool keepGoing() { return true; }
};

}  // namespace sg
