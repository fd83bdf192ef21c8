// CollectorVisitor search rules and RenderVisitor world matrices.
#include "GlTestContext.h"
#include "cpp/CollectorVisitor.h"
#include "cpp/GeometryNode.h"
#include "cpp/GroupNode.h"
#include "cpp/RenderVisitor.h"
#include "cpp/TransformNode.h"
#include "cpp/VertexAttributes.h"

#include <glm/gtc/matrix_transform.hpp>
#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <vector>

namespace {

std::shared_ptr<sg::TransformNode> transform(const std::string& name, const glm::mat4& m = glm::mat4(1.0f)) {
    auto node = std::make_shared<sg::TransformNode>(m);
    node->_name = name;
    return node;
}

std::vector<std::string> names(const std::vector<sg::Node*>& nodes) {
    std::vector<std::string> result;
    for (sg::Node* n : nodes) result.push_back(n->_name);
    return result;
}

bool startsWithM(sg::Node* n) {
    return !n->_name.empty() && n->_name[0] == 'm';
}

// root
//  ├ m1
//  │  ├ m2
//  │  └ a
//  └ b
//     └ m3
//  └ m4
std::shared_ptr<sg::GroupNode> searchTree() {
    auto root = std::make_shared<sg::GroupNode>();
    root->_name = "root";
    auto m1 = transform("m1");
    m1->addChild(transform("m2"));
    m1->addChild(transform("a"));
    auto b = transform("b");
    b->addChild(transform("m3"));
    root->addChild(m1);
    root->addChild(b);
    root->addChild(transform("m4"));
    return root;
}

}  // namespace

TEST(CollectorVisitor, FirstMatchSkipsDescendantsButCollectsLaterSiblings) {
    auto root = searchTree();
    sg::CollectorVisitor collector(startsWithM, sg::CollectorVisitor::FirstMatch);
    root->accept(&collector);
    // m2 is below the first match: skipped. b and m4 are siblings on the path: entered,
    // but b's child is not (keepGoing is false by then).
    EXPECT_EQ(names(collector.getCollected()), (std::vector<std::string>{"m1", "m4"}));
}

TEST(CollectorVisitor, AllMatchesCollectsInPreOrder) {
    auto root = searchTree();
    sg::CollectorVisitor collector(startsWithM, sg::CollectorVisitor::AllMatches);
    root->accept(&collector);
    EXPECT_EQ(names(collector.getCollected()), (std::vector<std::string>{"m1", "m2", "m3", "m4"}));
}

TEST(CollectorVisitor, UnknownModeAndEmptyPredicateThrow) {
    auto root = searchTree();
    sg::CollectorVisitor badMode(startsWithM, 2);
    try {
        root->accept(&badMode);
        FAIL() << "mode 2 must throw";
    } catch (const std::exception& e) {
        EXPECT_STREQ(e.what(), "CollectorVisitor::keepGoing() - default reached. Impossible!");
    }
    EXPECT_TRUE(badMode.getCollected().empty());  // thrown at the first node

    sg::CollectorVisitor noPredicate(sg::CollectorVisitor::Predicate(), sg::CollectorVisitor::AllMatches);
    EXPECT_THROW(root->accept(&noPredicate), std::bad_function_call);
}

class RenderVisitorTest : public hvtest::GlTest {
protected:
    static std::shared_ptr<VertexAttributes> triangle() {
        auto geometry = std::make_shared<VertexAttributes>(GL_TRIANGLES);
        auto positions = std::make_shared<Attribute3>();
        *positions->data() = {{0, 0, 0}, {1, 0, 0}, {0, 1, 0}};
        geometry->setAttribute(positions, 0);
        return geometry;
    }
    static std::shared_ptr<sg::GeometryNode> geometryNode(std::shared_ptr<VertexAttributes> geometry) {
        return std::make_shared<sg::GeometryNode>(std::move(geometry));
    }
};

TEST_F(RenderVisitorTest, EmptyRootGivesNoMatrices) {
    sg::GroupNode root;
    sg::RenderVisitor visitor;
    root.accept(&visitor);
    EXPECT_TRUE(visitor.getModelMatrices().empty());
    EXPECT_EQ(visitor.topProgram(), 0);
}

TEST_F(RenderVisitorTest, NestedTransformsMultiplyOuterTimesInner) {
    const glm::mat4 a = glm::translate(glm::mat4(1.0f), glm::vec3(1, 2, 3));
    const glm::mat4 b = glm::rotate(glm::mat4(1.0f), 0.5f, glm::vec3(0, 0, 1));
    auto geometry = triangle();
    auto root = std::make_shared<sg::GroupNode>();
    auto outer = transform("A", a);
    auto inner = transform("B", b);
    auto node = geometryNode(geometry);
    EXPECT_NE(geometry->vao, 0u);  // the node uploads its geometry
    inner->addChild(node);
    outer->addChild(inner);
    root->addChild(outer);
    sg::RenderVisitor visitor;
    root->accept(&visitor);
    auto matrices = visitor.getModelMatrices();
    ASSERT_EQ(matrices.size(), 1u);
    EXPECT_EQ(matrices.at(geometry), a * b);
    EXPECT_NE(matrices.at(geometry), b * a);
    expectNoGlError();
}

TEST_F(RenderVisitorTest, GroupRestartsAtIdentityAndSiblingsDoNotInheritEachOther) {
    const glm::mat4 a = glm::translate(glm::mat4(1.0f), glm::vec3(5, 0, 0));
    const glm::mat4 c = glm::scale(glm::mat4(1.0f), glm::vec3(2, 2, 2));
    auto below = triangle();
    auto after = triangle();
    auto root = std::make_shared<sg::GroupNode>();
    auto outer = transform("A", a);
    auto group = std::make_shared<sg::GroupNode>();
    auto sibling = transform("C", c);
    group->addChild(geometryNode(below));
    outer->addChild(group);
    root->addChild(outer);
    sibling->addChild(geometryNode(after));
    root->addChild(sibling);
    sg::RenderVisitor visitor;
    root->accept(&visitor);
    auto matrices = visitor.getModelMatrices();
    EXPECT_EQ(matrices.at(below), glm::mat4(1.0f));
    EXPECT_EQ(matrices.at(after), c);  // A was popped before C was entered
    expectNoGlError();
}

TEST_F(RenderVisitorTest, SharedGeometryKeepsTheLastVisitedMatrix) {
    const glm::mat4 first = glm::translate(glm::mat4(1.0f), glm::vec3(1, 0, 0));
    const glm::mat4 second = glm::translate(glm::mat4(1.0f), glm::vec3(0, 7, 0));
    auto shared = triangle();
    auto root = std::make_shared<sg::GroupNode>();
    auto t1 = transform("1", first);
    auto t2 = transform("2", second);
    t1->addChild(geometryNode(shared));
    t2->addChild(geometryNode(shared));
    root->addChild(t1);
    root->addChild(t2);
    sg::RenderVisitor visitor;
    root->accept(&visitor);
    auto matrices = visitor.getModelMatrices();
    ASSERT_EQ(matrices.size(), 1u);
    EXPECT_EQ(matrices.at(shared), second);
    expectNoGlError();
}

TEST(RenderVisitorDeathTest, WalkingFromATransformIsRefused) {
    auto start = transform("start");
    sg::RenderVisitor visitor;
    EXPECT_DEATH(start->accept(&visitor), "File: source\\\\cpp\\\\Visitor");
}
