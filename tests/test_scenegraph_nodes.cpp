// Node trees, double dispatch order, findNode and the bone registry.
#include "cpp/Bone.h"
#include "cpp/BoneNode.h"
#include "cpp/GeometryNode.h"
#include "cpp/Graph.h"
#include "cpp/GroupNode.h"
#include "cpp/TransformNode.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

// Logs every call as "visit:NAME", "keepGoing:NAME", "leave:NAME"; stops wanting
// to descend once `stopAfter` has been left.
class RecordingVisitor : public sg::IVisitor {
public:
    std::vector<std::string> log;
    std::string stopAfter;
    bool stopped = false;
    sg::Node* current = nullptr;

    void visit(sg::BoneNode* n) override { enter(n); }
    void visit(sg::GeometryNode* n) override { enter(n); }
    void visit(sg::TransformNode* n) override { enter(n); }
    void visit(sg::GroupNode* n) override { enter(n); }
    void leave(sg::BoneNode* n) override { exit(n); }
    void leave(sg::GeometryNode* n) override { exit(n); }
    void leave(sg::TransformNode* n) override { exit(n); }
    void leave(sg::GroupNode* n) override { exit(n); }
    bool keepGoing() override {
        log.push_back("keepGoing:" + current->_name);
        return !stopped;
    }

private:
    void enter(sg::Node* n) {
        current = n;
        log.push_back("visit:" + n->_name);
    }
    void exit(sg::Node* n) {
        log.push_back("leave:" + n->_name);
        if (n->_name == stopAfter) stopped = true;
    }
};

template <typename T>
std::shared_ptr<T> named(std::shared_ptr<T> node, const std::string& name) {
    node->_name = name;
    return node;
}

std::shared_ptr<sg::TransformNode> transform(const std::string& name) {
    return named(std::make_shared<sg::TransformNode>(glm::mat4(1.0f)), name);
}

}  // namespace

TEST(SceneGraphNodes, LeafIsVisitedAskedOnceAndLeft) {
    auto leaf = named(std::make_shared<sg::GroupNode>(), "leaf");
    RecordingVisitor visitor;
    leaf->accept(&visitor);
    EXPECT_EQ(visitor.log, (std::vector<std::string>{"visit:leaf", "keepGoing:leaf", "leave:leaf"}));
}

TEST(SceneGraphNodes, EveryKindDispatchesToItsOwnPairInInsertionOrder) {
    auto root = named(std::make_shared<sg::GroupNode>(), "root");
    auto bone = named(std::make_shared<sg::BoneNode>(), "bone");
    auto t = transform("t");
    root->addChild(t);
    root->addChild(bone);
    root->addChild(t);  // added twice: visited twice
    RecordingVisitor visitor;
    root->accept(&visitor);
    EXPECT_EQ(visitor.log, (std::vector<std::string>{"visit:root", "keepGoing:root", "visit:t", "keepGoing:t",
                                                     "leave:t", "visit:bone", "keepGoing:bone", "leave:bone",
                                                     "visit:t", "keepGoing:t", "leave:t", "leave:root"}));
    EXPECT_EQ(t->parent(), root.get());
}

TEST(SceneGraphNodes, StoppingDescentStillVisitsLaterSiblingsButNotTheirChildren) {
    auto root = named(std::make_shared<sg::GroupNode>(), "root");
    auto a = transform("a");
    auto b = transform("b");
    a->addChild(transform("a1"));
    b->addChild(transform("b1"));
    root->addChild(a);
    root->addChild(b);
    RecordingVisitor visitor;
    visitor.stopAfter = "a";
    root->accept(&visitor);
    EXPECT_EQ(visitor.log, (std::vector<std::string>{"visit:root", "keepGoing:root", "visit:a", "keepGoing:a",
                                                     "visit:a1", "keepGoing:a1", "leave:a1", "leave:a",
                                                     "visit:b", "keepGoing:b", "leave:b", "leave:root"}));
}

TEST(SceneGraphNodes, ChildrenOutliveAParentThatReleasedThem) {
    auto child = transform("child");
    {
        auto parent = transform("parent");
        parent->addChild(child);
    }
    EXPECT_EQ(child.use_count(), 1);
    EXPECT_EQ(child->getMatrix(), glm::mat4(1.0f));
    EXPECT_FALSE(child->getFlag());
}

TEST(SceneGraphGraph, FindNodeReturnsTheFirstMatchInPreOrder) {
    sg::Graph graph;
    auto outer = transform("x");
    auto inner = transform("x");
    auto other = transform("y");
    auto later = transform("x");
    outer->addChild(inner);
    outer->addChild(other);
    graph.getRoot()->addChild(outer);
    graph.getRoot()->addChild(later);
    EXPECT_EQ(graph.findNode("x"), outer.get());
    EXPECT_EQ(graph.findNode("y"), other.get());
    EXPECT_EQ(graph.findNode("z"), nullptr);
    EXPECT_EQ(graph.findNode("X"), nullptr);  // exact, case-sensitive
    EXPECT_EQ(graph.findNode(""), graph.getRoot().get());
}

TEST(SceneGraphGraph, StartsEmptyWithOneRootGroup) {
    sg::Graph graph;
    EXPECT_TRUE(graph.getRoot()->getChildren().empty());
    EXPECT_TRUE(graph.getLights().empty());
    EXPECT_FALSE(graph.hasLights());
    EXPECT_FALSE(graph.hasAnimations());
    EXPECT_EQ(graph.nextBoneIndex(), 0);
    EXPECT_EQ(graph.getRootTransform(), glm::mat4(1.0f));
}

TEST(SceneGraphGraph, AddBoneKeepsTheFirstEntryAndLeavesAnIndexGap) {
    sg::Graph graph;
    auto first = std::make_shared<sg::Bone>();
    auto second = std::make_shared<sg::Bone>();
    auto third = std::make_shared<sg::Bone>();
    graph.addBone("arm", first);
    graph.addBone("arm", second);
    graph.addBone("leg", third);
    ASSERT_EQ(graph.getBones().size(), 2u);
    EXPECT_EQ(graph.getBones().at("arm"), first);
    EXPECT_EQ(graph.getBoneIndices().at("arm"), 0);
    EXPECT_EQ(graph.getBoneIndices().at("leg"), 2);
    EXPECT_EQ(graph.nextBoneIndex(), 3);
}

TEST(SceneGraphGraph, GroupIdsAreDrawnInConstructionOrder) {
    sg::GroupNode a;
    sg::TransformNode t(glm::mat4(1.0f));  // takes no id
    sg::GroupNode b;
    EXPECT_EQ(b.id(), a.id() + 1);
}
