// Model import from hand-written COLLADA files through loadGraph().
#include "GlTestContext.h"
#include "cpp/Bone.h"
#include "cpp/GeometryNode.h"
#include "cpp/Graph.h"
#include "cpp/GroupNode.h"
#include "cpp/IShadowedPointLight.h"
#include "cpp/RenderVisitor.h"
#include "cpp/TransformNode.h"
#include "cpp/VertexAttributes.h"
#include "h/ModelPrecheck.h"
#include "h/ResourceManager.h"
#include "platform/MessageBox.h"

#include <glm/gtc/matrix_transform.hpp>
#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

const std::string kDataDir = std::string(HV_TEST_DATA_DIR) + "/dae/";

class ImportTest : public hvtest::GlTest {
protected:
    std::shared_ptr<sg::Graph> load(const std::string& file) {
        std::shared_ptr<sg::Graph> graph = ResourceManager::create()->loadGraph(kDataDir + file);
        EXPECT_TRUE(graph) << file;
        expectNoGlError();
        return graph;
    }
    template <typename T>
    static T* as(const std::shared_ptr<sg::Node>& node) {
        T* cast = dynamic_cast<T*>(node.get());
        EXPECT_NE(cast, nullptr) << node->_name;
        return cast;
    }
    template <typename T>
    static std::vector<T>& stream(VertexAttributes& geometry, int location) {
        auto attribute = std::dynamic_pointer_cast<Attribute<T>>(geometry.attribute(location));
        if (!attribute) throw std::runtime_error("no stream of that type at " + std::to_string(location));
        return *attribute->data();
    }
};

}  // namespace

TEST_F(ImportTest, NodeWithTwoMeshesAndAChildKeepsMeshesFirstAndTheHierarchy) {
    auto graph = load("hierarchy.dae");
    ASSERT_TRUE(graph);
    auto& top = graph->getRoot()->getChildren();
    ASSERT_EQ(top.size(), 1u);  // the file's root node
    auto* sceneRoot = as<sg::TransformNode>(top[0]);
    ASSERT_TRUE(sceneRoot);
    EXPECT_EQ(graph->getRootTransform(), sceneRoot->getMatrix());

    sg::Node* parent = graph->findNode("parent");
    ASSERT_NE(parent, nullptr);
    ASSERT_TRUE(dynamic_cast<sg::TransformNode*>(parent));
    auto& children = parent->getChildren();
    ASSERT_EQ(children.size(), 3u);
    auto* first = as<sg::GeometryNode>(children[0]);
    auto* second = as<sg::GeometryNode>(children[1]);
    auto* child = as<sg::TransformNode>(children[2]);
    ASSERT_TRUE(first && second && child);
    EXPECT_EQ(first->_name, "parent");
    EXPECT_EQ(second->_name, "parent");
    EXPECT_EQ(child->_name, "child");
    EXPECT_NE(first->getGeometry(), second->getGeometry());
    // Matrices keep their mathematical meaning: the translation sits in column 3.
    EXPECT_EQ(static_cast<sg::TransformNode*>(parent)->getMatrix(),
              glm::translate(glm::mat4(1.0f), glm::vec3(2, 3, 4)));

    sg::RenderVisitor visitor;
    graph->getRoot()->accept(&visitor);
    auto matrices = visitor.getModelMatrices();
    ASSERT_EQ(matrices.size(), 3u);
    auto* childGeometry = as<sg::GeometryNode>(child->getChildren().at(0));
    ASSERT_TRUE(childGeometry);
    EXPECT_EQ(matrices.at(childGeometry->getGeometry()),
              sceneRoot->getMatrix() * glm::translate(glm::mat4(1.0f), glm::vec3(2, 8, 4)));
}

TEST_F(ImportTest, MeshWithoutColoursGetsWhiteAndAnimationsBindToTransforms) {
    auto graph = load("hierarchy.dae");
    ASSERT_TRUE(graph);
    auto* geometry = as<sg::GeometryNode>(graph->findNode("parent")->getChildren().at(1));
    ASSERT_TRUE(geometry);
    auto& vertices = *geometry->getGeometry();
    auto* indexed = dynamic_cast<IndexedVertexAttributes*>(&vertices);
    ASSERT_NE(indexed, nullptr);
    EXPECT_EQ(indexed->indices.size(), 6u);
    EXPECT_EQ(vertices.mode, static_cast<GLenum>(GL_TRIANGLES));
    auto& colours = stream<glm::vec4>(vertices, 2);
    ASSERT_EQ(colours.size(), 4u);
    for (const glm::vec4& c : colours) EXPECT_EQ(c, glm::vec4(1, 1, 1, 1));
    EXPECT_EQ(stream<glm::vec3>(vertices, 0).size(), 4u);
    EXPECT_FALSE(vertices.attribute(3));  // no texture coordinates in the file

    ASSERT_TRUE(graph->hasAnimations());
    ASSERT_EQ(graph->getAnimations().size(), 1u);
    const sg::Animation& animation = graph->getAnimations()[0];
    ASSERT_EQ(animation._channels.size(), 2u);
    EXPECT_EQ(animation._channels[0]._node, graph->findNode("parent"));
    EXPECT_EQ(animation._channels[1]._node, graph->findNode("child"));
    EXPECT_TRUE(dynamic_cast<sg::TransformNode*>(animation._channels[0]._node));
    EXPECT_EQ(animation._channels[0]._positionKeys.size(), 2u);
    EXPECT_EQ(animation._channels[0]._positionKeys[1].matrix[3], glm::vec4(3, 3, 4, 1));
}

TEST_F(ImportTest, MaterialTexturesAndOnlyTheFirstUvSet) {
    auto graph = load("textured.dae");
    ASSERT_TRUE(graph);
    sg::Node* wall = graph->findNode("wall");
    ASSERT_NE(wall, nullptr);
    auto* node = as<sg::GeometryNode>(wall->getChildren().at(0));
    ASSERT_TRUE(node);
    auto& geometry = *node->getGeometry();
    EXPECT_EQ(geometry.textures,
              (std::map<int, std::string>{{7, "wall_diffuse.png"}, {8, "wall_specular.png"}}));
    auto& uv = stream<glm::vec2>(geometry, 3);
    auto& positions = stream<glm::vec3>(geometry, 0);
    ASSERT_EQ(uv.size(), positions.size());
    for (size_t i = 0; i < uv.size(); ++i) {
        // Set 0 is the quad's corner layout; set 1 would lie inside [0.25, 0.5].
        EXPECT_EQ(uv[i], glm::vec2(positions[i].x, positions[i].y)) << i;
    }
    // The tangent frame exists because normals were generated.
    for (int location : {1, 4, 5}) EXPECT_TRUE(geometry.attribute(location)) << location;
}

TEST_F(ImportTest, BoneSharedByTwoMeshesKeepsItsFirstEntryAndLeavesAGap) {
    auto graph = load("skinned.dae");
    ASSERT_TRUE(graph);
    const auto& bones = graph->getBones();
    const auto& indices = graph->getBoneIndices();
    ASSERT_EQ(bones.size(), 3u);
    EXPECT_EQ(indices.at("upper"), 0);
    EXPECT_EQ(indices.at("shared"), 1);
    EXPECT_EQ(indices.at("lower"), 3);
    EXPECT_EQ(graph->nextBoneIndex(), 4);
    // The first mesh's "shared" bone: it weighs 0.75 and 0.5 there.
    const sg::Bone& shared = *bones.at("shared");
    EXPECT_EQ(shared._name, "shared");
    ASSERT_EQ(shared._weights.size(), 3u);
    std::vector<float> weights;
    for (const auto& w : shared._weights) weights.push_back(w.second);
    std::sort(weights.begin(), weights.end());
    EXPECT_EQ(weights, (std::vector<float>{0.5f, 0.5f, 0.75f}));
    // Weights stay out of the vertex streams.
    auto* mesh = as<sg::GeometryNode>(graph->findNode("meshA")->getChildren().at(0));
    ASSERT_TRUE(mesh);
    for (int location = 6; location < VertexAttributes::kMaxLocations; ++location) {
        EXPECT_FALSE(mesh->getGeometry()->attribute(location));
    }
    EXPECT_FALSE(graph->hasAnimations());
    EXPECT_TRUE(graph->getAnimations().empty());
}

TEST_F(ImportTest, EveryImportAddsTheOneShadowedLight) {
    auto graph = load("textured.dae");
    ASSERT_TRUE(graph);
    ASSERT_TRUE(graph->hasLights());
    ASSERT_EQ(graph->getLights().size(), 1u);
    const auto& light = graph->getLights()[0];
    EXPECT_EQ(light->getPosition(), glm::vec3(0, 8, 0));
    EXPECT_EQ(light->getAmbient(), glm::vec3(0.001f));
    EXPECT_EQ(light->getDiffuse(), glm::vec3(1));
    EXPECT_EQ(light->getSpecular(), glm::vec3(1));
    EXPECT_EQ(light->getIntensity(), 1.0);
    EXPECT_TRUE(light->isShadowed());
}

TEST_F(ImportTest, UnreadableFilesShowTheImportersMessageAndGiveNothing) {
    std::vector<std::string> shown;
    platform::setMessageBoxHook([&](const std::string& text) { shown.push_back(text); });
    testing::internal::CaptureStderr();
    const std::string missing = kDataDir + "does_not_exist.dae";
    std::shared_ptr<sg::Graph> none = ResourceManager::create()->loadGraph(missing);
    std::shared_ptr<sg::Graph> truncated = ResourceManager::create()->loadGraph(kDataDir + "truncated.dae");
    testing::internal::GetCapturedStderr();
    platform::setMessageBoxHook(nullptr);
    EXPECT_FALSE(none);
    EXPECT_FALSE(truncated);
    ASSERT_EQ(shown.size(), 2u);
    EXPECT_EQ(shown[0], "Unable to open file \"" + missing + "\".");
    EXPECT_FALSE(shown[1].empty());
}

// Found by fuzzing (reduced): an animation array shorter than its accessor makes Debian's Assimp fail an
// internal check, which aborted the process; now it is an unreadable file.
TEST_F(ImportTest, AFileFailingTheImportersInternalCheckIsUnreadableNotAnAbort) {
    std::vector<std::string> shown;
    platform::setMessageBoxHook([&](const std::string& text) { shown.push_back(text); });
    testing::internal::CaptureStderr();
    std::shared_ptr<sg::Graph> graph = ResourceManager::create()->loadGraph(
        std::string(HV_TEST_DATA_DIR) + "/fuzz/model/assimp_assert_short_array.dae");
    testing::internal::GetCapturedStderr();
    platform::setMessageBoxHook(nullptr);
    EXPECT_FALSE(graph);
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_NE(shown[0].find("the importer's check 'pos < pData.mValues.size()' failed"), std::string::npos) << shown[0];
}

// Found by fuzzing: a COLLADA data array whose count is missing or not a number makes
// Debian's Assimp read a null pointer, and a huge one makes it reserve gigabytes. Such files are refused before the importer sees them.
TEST_F(ImportTest, DataArraysWithoutACountAreRefusedBeforeTheImporterCrashes) {
    EXPECT_EQ(modelHazardInText("<float_array id=\"a\" count=\"2\">1 2</float_array>"), "");
    EXPECT_EQ(modelHazardInText("<Name_array id=\"n\"\n  count = \"1\">j</Name_array><float_arrays/>"), "");
    EXPECT_NE(modelHazardInText("<float_array id=\"a\" xcount=\"2\">1 2</float_array>"), "");
    EXPECT_NE(modelHazardInText("<float_array count=\"1\"/><Name_array id=\"n\">j</Name_array>"), "");
    EXPECT_NE(modelHazardInText("<IDREF_array>"), "");
    for (const char* count : {"0", "abc", "-1", "", "4294967296", "99"})
        EXPECT_NE(modelHazardInText(std::string("<float_array count=\"") + count + "\">1 2</float_array>"), "")
            << count;
    EXPECT_EQ(modelHazardInText("<float_array count=' 2x'>1 2</float_array>"), "");
    // Found by fuzzing too: a stray character in an index list hangs the importer.
    EXPECT_EQ(modelHazardInText("<p>0 1 2\n 3 -4</p><p/><param name=\"X\"/><phong>"), "");
    EXPECT_NE(modelHazardInText("<p>0 1!2</p>"), "");
    EXPECT_NE(modelHazardInText("<p count=\"1\">2.5</p>"), "");
    for (const char* file : {"hierarchy.dae", "skinned.dae", "textured.dae"})
        EXPECT_EQ(modelHazard(kDataDir + file), "") << file;
    EXPECT_EQ(modelHazard(std::string(HV_SOURCE_DIR) + "/data/Collada2/warehouse_BR12.dae"), "");

    std::vector<std::string> shown;
    platform::setMessageBoxHook([&](const std::string& text) { shown.push_back(text); });
    testing::internal::CaptureStderr();
    const std::string path = std::string(HV_TEST_DATA_DIR) + "/fuzz/model/assimp_segv_array_without_count.dae";
    std::shared_ptr<sg::Graph> graph = ResourceManager::create()->loadGraph(path);
    testing::internal::GetCapturedStderr();
    platform::setMessageBoxHook(nullptr);
    EXPECT_FALSE(graph);
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0], "Model " + path + " refused: a <float_array> whose count is missing, zero or beyond the file's size, which crashes "
              "the importer.");
}

// Read on another thread, a file gives the graph or the message it gives read on the spot.
TEST_F(ImportTest, AFileReadInTheBackgroundGivesWhatItGivesReadOnTheSpot) {
    ResourceManager* resources = ResourceManager::create();
    const std::string skinned = kDataDir + "skinned.dae";
    std::shared_ptr<sg::Graph> there = resources->loadGraph(skinned, ResourceManager::readInBackground(skinned));
    std::shared_ptr<sg::Graph> here = resources->loadGraph(skinned);
    ASSERT_TRUE(there);
    ASSERT_TRUE(here);
    expectNoGlError();
    EXPECT_EQ(there->getRoot()->getChildren().size(), here->getRoot()->getChildren().size());
    EXPECT_EQ(there->getLights().size(), here->getLights().size());

    std::vector<std::string> shown;
    platform::setMessageBoxHook([&](const std::string& text) { shown.push_back(text); });
    testing::internal::CaptureStderr();
    for (const std::string& path : {kDataDir + "does_not_exist.dae",
                                    std::string(HV_TEST_DATA_DIR) + "/fuzz/model/assimp_segv_array_without_count.dae"}) {
        EXPECT_FALSE(resources->loadGraph(path, ResourceManager::readInBackground(path))) << path;
        EXPECT_FALSE(resources->loadGraph(path)) << path;
    }
    testing::internal::GetCapturedStderr();
    platform::setMessageBoxHook(nullptr);
    ASSERT_EQ(shown.size(), 4u);
    EXPECT_EQ(shown[0], shown[1]);
    EXPECT_EQ(shown[2], shown[3]);
    EXPECT_NE(shown[0], shown[2]);
}
