// The committed warehouse model and its textures, loaded the way the film loads them:
// the import through ResourceManager and every material texture through read_png_file.
#include "test_content_support.h"

#include "GLwrappers/PngReader.h"
#include "cpp/GeometryNode.h"
#include "cpp/Graph.h"
#include "cpp/GroupNode.h"
#include "cpp/Node.h"
#include "cpp/VertexAttributes.h"
#include "h/ResourceManager.h"

#include "GlTestContext.h"

#include <assimp/Importer.hpp>
#include <assimp/scene.h>

#include <gtest/gtest.h>

#include <set>

namespace {
using namespace contenttest;

void collectGeometry(sg::Node* node, std::vector<std::shared_ptr<VertexAttributes>>& out) {
    if (auto* geometry = dynamic_cast<sg::GeometryNode*>(node)) {
        out.push_back(geometry->getGeometry());
    }
    for (const std::shared_ptr<sg::Node>& child : node->getChildren()) {
        collectGeometry(child.get(), out);
    }
}

bool isPowerOfTwo(int v) {
    return v > 0 && (v & (v - 1)) == 0;
}

class ContentModel : public hvtest::GlTest {};

TEST_F(ContentModel, ImportsThroughTheResourceManagerWithEveryMaterialTextureReadable) {
    std::shared_ptr<sg::Graph> graph = ResourceManager::create()->loadGraph(kModelFile.string());
    ASSERT_TRUE(graph) << "the model did not import";
    std::vector<std::shared_ptr<VertexAttributes>> geometries;
    collectGeometry(graph->getRoot().get(), geometries);
    ASSERT_FALSE(geometries.empty());

    size_t triangles = 0;
    std::set<std::string> names;
    for (const auto& g : geometries) {
        EXPECT_EQ(g->mode, static_cast<GLenum>(GL_TRIANGLES));
        auto* indexed = dynamic_cast<IndexedVertexAttributes*>(g.get());
        ASSERT_NE(indexed, nullptr);
        triangles += indexed->indices.size() / 3;
        // Normals, texture coordinates and tangent frames feed the normal mapping.
        EXPECT_TRUE(g->attribute(1) && g->attribute(3) && g->attribute(4) && g->attribute(5));
        for (int key : {7, 8, 1}) {
            ASSERT_EQ(g->textures.count(key), 1u) << "texture key " << key << " missing";
            names.insert(g->textures.at(key));
        }
    }
    EXPECT_GE(triangles, 2000u);
    EXPECT_LE(triangles, 20000u);
    for (const std::string& name : names) {
        EXPECT_EQ(name.find('/'), std::string::npos) << name << " must be a bare file name";
        const std::string path = (kModelDir / name).string();
        std::unique_ptr<PngImage> image;
        ASSERT_NO_THROW(read_png_file(image, path.c_str())) << path;
        ASSERT_TRUE(image);
        EXPECT_TRUE(image->bitsPerPixel == 24 || image->bitsPerPixel == 32) << name;
        EXPECT_TRUE(isPowerOfTwo(image->width) && isPowerOfTwo(image->height)) << name;
    }
    expectNoGlError();
}

TEST(ContentFiles, ModelDirectoryHoldsOnlyTheModelAndItsPngs) {
    // The film's texture scan reports anything else; the branch maps must be there.
    std::set<std::string> found;
    for (const auto& entry : std::filesystem::directory_iterator(kModelDir)) {
        const std::string name = entry.path().filename().string();
        found.insert(name);
        EXPECT_TRUE(entry.is_regular_file()) << name;
        EXPECT_TRUE(name == "warehouse_BR12.dae" || entry.path().extension() == ".png") << name;
    }
    for (const char* name : {"slither_diffuse.png", "slither_normal.png", "slither_specular.png"}) {
        ASSERT_EQ(found.count(name), 1u) << name;
        std::unique_ptr<PngImage> image;
        ASSERT_NO_THROW(read_png_file(image, (kModelDir / name).string().c_str()));
        EXPECT_EQ(image->bitsPerPixel, 24);
    }
}

TEST(ContentFiles, EveryPngInTheModelDirectoryIsSmallAndPowerOfTwo) {
    for (const auto& entry : std::filesystem::directory_iterator(kModelDir)) {
        if (entry.path().extension() != ".png") {
            continue;
        }
        std::unique_ptr<PngImage> image;
        ASSERT_NO_THROW(read_png_file(image, entry.path().string().c_str()));
        EXPECT_TRUE(image->width == 256 || image->width == 512) << entry.path();
        EXPECT_EQ(image->width, image->height) << entry.path();
    }
}

TEST(ContentFiles, ModelSpansTheHallWithTheFloorAtZeroAndOneTriangleMeshPerMaterial) {
    Assimp::Importer importer;
    const aiScene* scene = importer.ReadFile(kModelFile.string(), ResourceManager::kImportFlags);
    ASSERT_NE(scene, nullptr) << importer.GetErrorString();
    aiVector3D lo(1e9f, 1e9f, 1e9f), hi(-1e9f, -1e9f, -1e9f);
    for (unsigned m = 0; m < scene->mNumMeshes; ++m) {
        const aiMesh* mesh = scene->mMeshes[m];
        EXPECT_EQ(mesh->mPrimitiveTypes, static_cast<unsigned>(aiPrimitiveType_TRIANGLE));
        for (unsigned v = 0; v < mesh->mNumVertices; ++v) {
            const aiVector3D& p = mesh->mVertices[v];
            lo = aiVector3D(std::min(lo.x, p.x), std::min(lo.y, p.y), std::min(lo.z, p.z));
            hi = aiVector3D(std::max(hi.x, p.x), std::max(hi.y, p.y), std::max(hi.z, p.z));
        }
    }
    EXPECT_FLOAT_EQ(lo.y, 0.0f);
    EXPECT_FLOAT_EQ(hi.y, 10.0f);
    EXPECT_FLOAT_EQ(lo.x, -20.0f);
    EXPECT_FLOAT_EQ(hi.x, 20.0f);
    EXPECT_FLOAT_EQ(lo.z, -12.0f);
    EXPECT_FLOAT_EQ(hi.z, 12.0f);
    // Every vertex sits within the light's shadow range (far plane 70) from (0, 8, 0).
    EXPECT_LT((hi - aiVector3D(0, 8, 0)).Length(), 70.0f);
}

TEST(ContentFiles, CreditsImageIsRgbaWithTransparentBackgroundAndOpaqueText) {
    std::unique_ptr<PngImage> image;
    ASSERT_NO_THROW(read_png_file(image, (kSource / "data" / "credits.png").string().c_str()));
    ASSERT_EQ(image->bitsPerPixel, 32);
    EXPECT_DOUBLE_EQ(image->aspect, 2.0);
    size_t opaque = 0;
    for (size_t i = 3; i < image->pixels.size(); i += 4) {
        opaque += image->pixels[i] == 255;
    }
    EXPECT_EQ(image->pixels[3], 0) << "the corner must be transparent";
    EXPECT_GT(opaque, 5000u) << "the text must be there";
    EXPECT_LT(opaque, image->pixels.size() / 4 / 4) << "the background must stay transparent";
}

}  // namespace
