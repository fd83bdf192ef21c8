// Mesh, bone and animation conversion from Assimp structures built in the test.
#include "GlTestContext.h"
#include "cpp/GeometryNode.h"
#include "cpp/Graph.h"
#include "cpp/GroupNode.h"
#include "cpp/TransformNode.h"
#include "cpp/VertexAttributes.h"
#include "h/ResourceManager.h"

#include <assimp/scene.h>
#include <gtest/gtest.h>

#include <memory>
#include <stdexcept>
#include <string>

namespace {

// A mesh with `count` vertices at (i, 2i, 3i), no faces.
aiMesh* pointMesh(unsigned int count) {
    auto* mesh = new aiMesh();
    mesh->mPrimitiveTypes = aiPrimitiveType_POINT;
    mesh->mNumVertices = count;
    mesh->mVertices = new aiVector3D[count];
    for (unsigned int i = 0; i < count; ++i) mesh->mVertices[i] = aiVector3D(i, 2.0f * i, 3.0f * i);
    return mesh;
}

std::string conversionError(const aiMesh& mesh) {
    try {
        ResourceManager::create()->aiMeshToGeometryNode(&mesh, nullptr);
    } catch (const std::runtime_error& e) {
        return e.what();
    }
    return "(nothing thrown)";
}

template <typename T>
std::vector<T>& stream(VertexAttributes& geometry, int location) {
    return *std::dynamic_pointer_cast<Attribute<T>>(geometry.attribute(location))->data();
}

}  // namespace

TEST(MeshConversion, RejectsMixedOrUnknownPrimitiveTypesAndMissingPositions) {
    const std::string mixed =
        "ResourceManager::aiMeshToGeometryNode: multiple primitive types in mesh. Line: 203";
    std::unique_ptr<aiMesh> mesh(pointMesh(3));
    mesh->mPrimitiveTypes = aiPrimitiveType_LINE | aiPrimitiveType_TRIANGLE;
    EXPECT_EQ(conversionError(*mesh), mixed);
    mesh->mPrimitiveTypes = 0;
    EXPECT_EQ(conversionError(*mesh), mixed);
    mesh->mPrimitiveTypes = aiPrimitiveType_POLYGON;
    EXPECT_EQ(conversionError(*mesh), mixed);

    const std::string noPositions =
        "ResourceManager::aiMeshToGeometryNode: No position data found. Line: 207";
    std::unique_ptr<aiMesh> empty(new aiMesh());
    empty->mPrimitiveTypes = aiPrimitiveType_TRIANGLE;
    EXPECT_EQ(conversionError(*empty), noPositions);
    mesh->mPrimitiveTypes = aiPrimitiveType_TRIANGLE;
    mesh->mNumVertices = 0;  // an array but no count
    EXPECT_EQ(conversionError(*mesh), noPositions);
    mesh->mNumVertices = 3;
}

class MeshConversionGl : public hvtest::GlTest {};

TEST_F(MeshConversionGl, PointCloudIsNotIndexedAndDrawsPoints) {
    std::unique_ptr<aiMesh> mesh(pointMesh(5));
    auto geometry = ResourceManager::create()->aiMeshToGeometryNode(mesh.get(), nullptr);
    ASSERT_TRUE(geometry);
    EXPECT_EQ(dynamic_cast<IndexedVertexAttributes*>(geometry.get()), nullptr);
    EXPECT_EQ(geometry->mode, static_cast<GLenum>(GL_POINTS));
    EXPECT_EQ(geometry->vao, 0u);  // uploading is the node's job
    sg::GeometryNode node(geometry);
    EXPECT_NE(geometry->vao, 0u);
    auto& positions = stream<glm::vec3>(*geometry, 0);
    ASSERT_EQ(positions.size(), 5u);
    EXPECT_EQ(positions[4], glm::vec3(4, 8, 12));
    EXPECT_EQ(stream<glm::vec4>(*geometry, 2), std::vector<glm::vec4>(5, glm::vec4(1)));
    expectNoGlError();
}

TEST_F(MeshConversionGl, TangentsNeedNormalsAndColoursAndUvsComeFromSetZero) {
    std::unique_ptr<aiMesh> mesh(pointMesh(2));
    mesh->mPrimitiveTypes = aiPrimitiveType_LINE;
    mesh->mNumFaces = 1;
    mesh->mFaces = new aiFace[1];
    mesh->mFaces[0].mNumIndices = 2;
    mesh->mFaces[0].mIndices = new unsigned int[2]{1, 0};
    mesh->mTangents = new aiVector3D[2];
    mesh->mBitangents = new aiVector3D[2];
    mesh->mColors[0] = new aiColor4D[2]{aiColor4D(0.1f, 0.2f, 0.3f, 0.4f), aiColor4D(1, 0, 0, 1)};
    mesh->mColors[1] = new aiColor4D[2];
    mesh->mNumUVComponents[0] = 3;
    mesh->mTextureCoords[0] = new aiVector3D[2]{aiVector3D(0.5f, 0.25f, 9.0f), aiVector3D(1, 1, 9)};
    mesh->mTextureCoords[1] = new aiVector3D[2]{aiVector3D(7, 7, 7), aiVector3D(7, 7, 7)};

    auto geometry = ResourceManager::create()->aiMeshToGeometryNode(mesh.get(), nullptr);
    auto* indexed = dynamic_cast<IndexedVertexAttributes*>(geometry.get());
    ASSERT_NE(indexed, nullptr);
    EXPECT_EQ(indexed->indices, (std::vector<GLuint>{1, 0}));
    EXPECT_EQ(geometry->mode, static_cast<GLenum>(GL_LINES));
    for (int location : {1, 4, 5}) EXPECT_FALSE(geometry->attribute(location)) << location;
    EXPECT_EQ(stream<glm::vec4>(*geometry, 2)[0], glm::vec4(0.1f, 0.2f, 0.3f, 0.4f));
    EXPECT_EQ(stream<glm::vec2>(*geometry, 3)[0], glm::vec2(0.5f, 0.25f));

    mesh->mNormals = new aiVector3D[2]{aiVector3D(0, 0, 1), aiVector3D(0, 0, 1)};
    geometry = ResourceManager::create()->aiMeshToGeometryNode(mesh.get(), nullptr);
    for (int location : {1, 4, 5}) EXPECT_TRUE(geometry->attribute(location)) << location;
    EXPECT_EQ(geometry->attributeCount, 6);
}

TEST_F(MeshConversionGl, MaterialIndexOutsideTheTableRecordsNoTextures) {
    aiScene scene;
    scene.mNumMaterials = 1;
    scene.mMaterials = new aiMaterial* [1] { new aiMaterial() };
    aiString diffuse("stone.png");
    scene.mMaterials[0]->AddProperty(&diffuse, AI_MATKEY_TEXTURE_DIFFUSE(0));
    std::unique_ptr<aiMesh> mesh(pointMesh(1));
    auto geometry = ResourceManager::create()->aiMeshToGeometryNode(mesh.get(), &scene);
    EXPECT_EQ(geometry->textures, (std::map<int, std::string>{{7, "stone.png"}}));
    mesh->mMaterialIndex = 3;
    geometry = ResourceManager::create()->aiMeshToGeometryNode(mesh.get(), &scene);
    EXPECT_TRUE(geometry->textures.empty());
}

TEST(MatrixConversion, KeepsTheMathematicalMatrix) {
    aiMatrix4x4 m(1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16);  // rows
    glm::mat4 converted = ResourceManager::toMat4(m);
    EXPECT_EQ(converted[3], glm::vec4(4, 8, 12, 16));  // column 4 = (a4, b4, c4, d4)
    EXPECT_EQ(converted[0][1], 5.0f);                  // row 2 of column 1 = b1
    const glm::vec4 p(1, 1, 1, 1);
    aiVector3D transformed = m * aiVector3D(1, 1, 1);
    glm::vec4 viaGlm = converted * p;
    EXPECT_EQ(glm::vec3(viaGlm), glm::vec3(transformed.x, transformed.y, transformed.z));
}

TEST(KeyMatrices, QuaternionScalingAndTranslation) {
    EXPECT_EQ(ResourceManager::rotationMatrix(1, 0, 0, 0), glm::mat4(1.0f));
    glm::mat4 halfTurn = ResourceManager::rotationMatrix(0, 0, 0, 1);
    EXPECT_EQ(halfTurn, glm::mat4(glm::vec4(-1, 0, 0, 0), glm::vec4(0, -1, 0, 0), glm::vec4(0, 0, 1, 0),
                                  glm::vec4(0, 0, 0, 1)));
    // A quarter turn about z maps x onto y.
    const float s = std::sqrt(0.5f);
    glm::vec4 x = ResourceManager::rotationMatrix(s, 0, 0, s) * glm::vec4(1, 0, 0, 1);
    EXPECT_NEAR(x.x, 0.0f, 1e-6f);
    EXPECT_NEAR(x.y, 1.0f, 1e-6f);
    EXPECT_EQ(ResourceManager::scalingMatrix(2, 3, 4) * glm::vec4(1, 1, 1, 1), glm::vec4(2, 3, 4, 1));
    EXPECT_EQ(ResourceManager::translationMatrix(2, 3, 4)[3], glm::vec4(2, 3, 4, 1));
}

namespace {

aiNodeAnim* channel(const char* node, unsigned int positions, unsigned int scalings, unsigned int rotations) {
    auto* c = new aiNodeAnim();
    c->mNodeName = aiString(node);
    c->mNumPositionKeys = positions;
    c->mPositionKeys = positions ? new aiVectorKey[positions] : nullptr;
    for (unsigned int i = 0; i < positions; ++i)
        c->mPositionKeys[i] = aiVectorKey(0.5 * i, aiVector3D(i, 0, 0));
    c->mNumScalingKeys = scalings;
    c->mScalingKeys = scalings ? new aiVectorKey[scalings] : nullptr;
    for (unsigned int i = 0; i < scalings; ++i) c->mScalingKeys[i] = aiVectorKey(i, aiVector3D(1, 2, 3));
    c->mNumRotationKeys = rotations;
    c->mRotationKeys = rotations ? new aiQuatKey[rotations] : nullptr;
    for (unsigned int i = 0; i < rotations; ++i) c->mRotationKeys[i] = aiQuatKey(i, aiQuaternion(0, 0, 0, 1));
    return c;
}

}  // namespace

TEST(AnimationImport, RejectedChannelsAreSkippedAndTheRestIsKept) {
    aiScene scene;
    scene.mRootNode = new aiNode("root");
    auto* arm = new aiNode("arm");
    scene.mRootNode->addChildren(1, &arm);
    scene.mNumAnimations = 1;
    scene.mAnimations = new aiAnimation* [1] { new aiAnimation() };
    aiAnimation& source = *scene.mAnimations[0];
    source.mName = aiString("wave");
    source.mDuration = 48;
    source.mTicksPerSecond = 0;
    source.mNumChannels = 5;
    source.mChannels = new aiNodeAnim* [5] {
        channel("arm", 3, 2, 1), channel("ghost", 1, 1, 1), channel("", 1, 1, 1), channel("arm", 1, 1, 0),
            channel("root", 1, 1, 1)
    };

    sg::Graph graph;
    ResourceManager* manager = ResourceManager::create();
    manager->aiNodeToSceneGraph(scene.mRootNode, graph.getRoot().get(), &scene, &graph);
    manager->aiAnimationsToGraph(&graph, &scene);

    ASSERT_TRUE(graph.hasAnimations());
    ASSERT_EQ(graph.getAnimations().size(), 1u);
    const sg::Animation& animation = graph.getAnimations()[0];
    EXPECT_EQ(animation._name, "wave");
    EXPECT_EQ(animation._duration, 48.0);
    EXPECT_EQ(animation._ticksPerSecond, 0.0);
    ASSERT_EQ(animation._channels.size(), 2u);
    const sg::AnimationChannel& armChannel = animation._channels[0];
    EXPECT_EQ(armChannel._node, graph.findNode("arm"));
    ASSERT_EQ(armChannel._positionKeys.size(), 3u);
    EXPECT_EQ(armChannel._positionKeys[2].time, 1.0);
    EXPECT_EQ(armChannel._positionKeys[2].matrix[3], glm::vec4(2, 0, 0, 1));
    ASSERT_EQ(armChannel._scalingKeys.size(), 2u);
    EXPECT_EQ(armChannel._scalingKeys[1].matrix, ResourceManager::scalingMatrix(1, 2, 3));
    ASSERT_EQ(armChannel._rotationKeys.size(), 1u);
    EXPECT_EQ(armChannel._rotationKeys[0].matrix, ResourceManager::rotationMatrix(0, 0, 0, 1));
    EXPECT_EQ(animation._channels[1]._node, graph.findNode("root"));
}

TEST(AnimationImport, NoAnimationsLeavesTheFlagDown) {
    aiScene scene;
    scene.mRootNode = new aiNode("root");
    sg::Graph graph;
    ResourceManager::create()->aiAnimationsToGraph(&graph, &scene);
    EXPECT_FALSE(graph.hasAnimations());
    EXPECT_TRUE(graph.getAnimations().empty());
}

TEST(AnimationImportDeathTest, SceneWithoutRootIsAnInvariantFailure) {
    aiScene scene;
    sg::Graph graph;
    EXPECT_DEATH(ResourceManager::create()->aiAnimationsToGraph(&graph, &scene),
                 "Expression: aiRoot != 0\nFile: source\\\\h\\\\ResourceManager");
}
