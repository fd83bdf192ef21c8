#include "cpp/CollectorVisitor.h"

#include "cpp/BoneNode.h"
#include "cpp/GeometryNode.h"
#include "cpp/GroupNode.h"
#include "cpp/TransformNode.h"

#include <stdexcept>

namespace sg {

CollectorVisitor::CollectorVisitor(Predicate predicate, int32_t mode)
    : _predicate(std::move(predicate)), _mode(mode) {}

void CollectorVisitor::consider(Node* node) {
    if (_predicate(node)) _collected.push_back(node);
}

void CollectorVisitor::visit(BoneNode* node) {
    consider(node);
}
void CollectorVisitor::visit(GeometryNode* node) {
    consider(node);
}
void CollectorVisitor::visit(TransformNode* node) {
    consider(node);
}
void CollectorVisitor::visit(GroupNode* node) {
    consider(node);
}

bool CollectorVisitor::keepGoing() {
    switch (_mode) {
        case FirstMatch:
            return _collected.empty();
        case AllMatches:
            return true;
        default:
            throw std::logic_error("CollectorVisitor::keepGoing() - default reached. Impossible!");
    }
}

}  // namespace sg
