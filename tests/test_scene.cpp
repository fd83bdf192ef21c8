// The film's scene: set-up, the frame's GL state, and the post-processing pass.
// Runs on an EGL pbuffer (the last pass draws to framebuffer 0) from the source tree,
// which holds the film's data/ and shaders/.
#include "HeadlessSurface.h"

#include "GLwrappers/Texture.h"
#include "cpp/Display.h"
#include "cpp/GBuffer.h"
#include "cpp/GLError.h"
#include "cpp/Graph.h"
#include "cpp/GroupNode.h"
#include "cpp/GeometryNode.h"
#include "cpp/PointLightShadow.h"
#include "cpp/Random.h"
#include "cpp/Tree.h"
#include "scenes/PostProc.h"
#include "scenes/TestGeometry.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <memory>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

constexpr int kWidth = 160;
constexpr int kHeight = 100;

// Film-like parameters: camera in the aisle looking at the bunch, light above it.
void setFilmParameters(TestGeometry& scene) {
    scene.parameter("ts.eyepos.x") = 9.0;
    scene.parameter("ts.eyepos.y") = 3.0;
    scene.parameter("ts.eyepos.z") = 6.0;
    scene.parameter("ts.tarpos.y") = 2.0;
    scene.parameter("up.y") = 1.0;
    scene.parameter("ts.blinnexp") = 32.0;
    scene.parameter("atten_exp") = 1.5;
    scene.parameter("light_intens") = 4.0;
    scene.parameter("lightP_Off.y") = 6.0;
    scene.parameter("bunchpos.y") = 2.0;
}

class ChangeDirectory {
public:
    explicit ChangeDirectory(const std::string& to) : _from(fs::current_path()) { fs::current_path(to); }
    ~ChangeDirectory() { fs::current_path(_from); }

private:
    fs::path _from;
};

class SceneTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        screenWidth = kWidth;
        screenHeight = kHeight;
        std::string why;
        ready_ = makeHeadlessSurfaceCurrent(kWidth, kHeight, &why);
        if (!ready_) return;
        glEnable(GL_FRAMEBUFFER_SRGB);
        glEnable(GL_CULL_FACE);
        ChangeDirectory into(HV_SOURCE_DIR);
        testing::internal::CaptureStdout();
        gBuffer_ = new GBuffer<8>(kWidth, kHeight);
        gBuffer_->init();
        scene_ = new TestGeometry();
        scene_->gBuffer = gBuffer_;
        loadOutput_ = testing::internal::GetCapturedStdout();
    }
    void SetUp() override {
        if (!ready_) GTEST_SKIP() << "no headless GL with a pbuffer";
        EXPECT_EQ(collectGLErrors(), "");
        setFilmParameters(*scene_);
    }
    void TearDown() override { EXPECT_EQ(collectGLErrors(), "") << "GL errors pending"; }

    static bool ready_;
    static GBuffer<8>* gBuffer_;
    static TestGeometry* scene_;
    static std::string loadOutput_;
};

bool SceneTest::ready_ = false;
GBuffer<8>* SceneTest::gBuffer_ = nullptr;
TestGeometry* SceneTest::scene_ = nullptr;
std::string SceneTest::loadOutput_;

FrameTime frameAt(double time, double delta) {
    FrameTime frame;
    frame.time = time;
    frame.delta = delta;
    return frame;
}

}  // namespace

TEST(SceneFormulas, NoiseSizeAndCreditsAspectFollowTheWindow) {
    EXPECT_EQ(PostProc::noiseWidth(1280), 780);
    EXPECT_EQ(PostProc::noiseHeight(720), 702);
    EXPECT_EQ(PostProc::noiseWidth(1920), 1170);
    EXPECT_EQ(PostProc::noiseHeight(1080), 1053);
    EXPECT_FLOAT_EQ(TestGeometry::creditsAspectRatio(512.0 / 256.0, 1920, 1080), 1.125f);
}

TEST_F(SceneTest, SetUpLoadsEveryTextureAndNamesTheTracks) {
    for (const auto& entry : fs::directory_iterator(fs::path(HV_SOURCE_DIR) / "data" / "Collada2")) {
        std::string name = entry.path().filename().string();
        EXPECT_NE(loadOutput_.find("Found file data/Collada2/" + name + "\n"), std::string::npos) << name;
        if (entry.path().extension() == ".png") {
            EXPECT_EQ(scene_->textures().count(name), 1u) << name;
        } else {
            EXPECT_NE(loadOutput_.find("Skipped image data/Collada2/" + name + ". Unsupported format\n"),
                      std::string::npos);
        }
    }
    EXPECT_EQ(scene_->textures().count("credits"), 1u);

    std::vector<std::string> names = scene_->trackNames();
    ASSERT_EQ(names.size(), 22u);
    EXPECT_TRUE(std::is_sorted(names.begin(), names.end()));
    EXPECT_EQ(names.front(), "atten_exp");
    EXPECT_EQ(names.back(), "up.z");
    EXPECT_EQ(scene_->model()->getLights().size(), 1u);
}

TEST_F(SceneTest, CreditsBlendIsSetAndResetWhetherOrNotTheyShow) {
    for (double credits : {0.0, 0.8}) {
        scene_->parameter("credits") = credits;
        GLint source = 0, destination = 0;
        GLboolean blending = GL_TRUE;
        scene_->setPassObserver([&](const char* pass) {
            if (std::string(pass) != "credits") return;
            glGetIntegerv(GL_BLEND_SRC_RGB, &source);
            glGetIntegerv(GL_BLEND_DST_RGB, &destination);
            blending = glIsEnabled(GL_BLEND);
        });
        FrameTime frame = frameAt(1.0, 0.0);
        scene_->draw(&frame);
        scene_->setPassObserver(nullptr);
        EXPECT_EQ(source, GL_DST_ALPHA) << credits;
        EXPECT_EQ(destination, GL_ONE_MINUS_SRC_ALPHA) << credits;
        EXPECT_FALSE(blending) << credits;
    }
    scene_->parameter("credits") = 0.0;
    EXPECT_FALSE(glIsEnabled(GL_BLEND));
    EXPECT_FALSE(glIsEnabled(GL_DEPTH_TEST));
    GLint drawFramebuffer = -1;
    glGetIntegerv(GL_DRAW_FRAMEBUFFER_BINDING, &drawFramebuffer);
    EXPECT_EQ(drawFramebuffer, 0);
}

TEST_F(SceneTest, BranchesStepOnlyWhenFilmTimeReachesTheNextSixtieth) {
    FrameTime first = frameAt(2.0, 0.5);
    scene_->advanceTree(&first);
    auto tip = [&] { return scene_->tree().branches()[3].particles().back()->position(); };
    glm::dvec3 before = tip();
    FrameTime still = frameAt(2.0 + 0.9 / 60.0, 0.9 / 60.0);
    scene_->advanceTree(&still);
    EXPECT_EQ(tip(), before);
    FrameTime moved = frameAt(2.0 + 1.0 / 60.0, 0.1 / 60.0);
    scene_->advanceTree(&moved);
    EXPECT_NE(tip(), before);
}

TEST_F(SceneTest, OnlyTheFirstLightIsUsedAndItsAmbientIsShared) {
    auto& lights = scene_->model()->getLights();
    auto second = std::make_shared<sg::PointLightShadow>();
    second->setAmbient(glm::vec3(0.5f));
    lights.push_back(second);
    FrameTime frame = frameAt(1.0, 0.0);
    scene_->draw(&frame);
    lights.pop_back();
    EXPECT_FLOAT_EQ(lights.front()->getAmbient().x, 0.005f);
    EXPECT_FLOAT_EQ(second->getAmbient().x, 0.5f);
    EXPECT_FLOAT_EQ(static_cast<float>(lights.front()->getIntensity()), 4.0f);
}

TEST_F(SceneTest, GeometryThatIsNotTrianglesCastsNoShadow) {
    auto countShadowPrimitives = [&] {
        GLuint query = 0;
        glGenQueries(1, &query);
        scene_->setPassObserver([&](const char* pass) {
            if (std::string(pass) == "tree") glBeginQuery(GL_PRIMITIVES_GENERATED, query);
            if (std::string(pass) == "shadow") glEndQuery(GL_PRIMITIVES_GENERATED);
        });
        FrameTime frame = frameAt(1.0, 0.0);
        scene_->draw(&frame);
        scene_->setPassObserver(nullptr);
        GLuint primitives = 0;
        glGetQueryObjectuiv(query, GL_QUERY_RESULT, &primitives);
        glDeleteQueries(1, &query);
        return primitives;
    };
    GLuint withoutLines = countShadowPrimitives();
    EXPECT_GT(withoutLines, 0u);

    // Lines in the light's reach, among the meshes the scene draws.
    auto lines = std::make_shared<VertexAttributes>(GL_LINES);
    auto positions = std::make_shared<Attribute<glm::vec3>>();
    *positions->data() = {glm::vec3(0, 1, 0), glm::vec3(0, 5, 0), glm::vec3(1, 1, 0), glm::vec3(1, 5, 0)};
    lines->setAttribute(positions, 0);
    lines->create();
    auto node = std::make_shared<sg::GeometryNode>(lines);
    auto& children = scene_->model()->getRoot()->getChildren();
    scene_->model()->getRoot()->addChild(node);
    scene_->collectMeshes();
    GLuint withLines = countShadowPrimitives();
    children.pop_back();
    scene_->collectMeshes();
    EXPECT_EQ(withLines, withoutLines);
    EXPECT_EQ(countShadowPrimitives(), withoutLines);
}

TEST_F(SceneTest, NoiseAndItsOffsetsReplayFromTheSameGeneratorState) {
    const uint32_t saved = demoRandState();
    auto noiseBytes = [](const PostProc& post) {
        std::vector<unsigned char> bytes(static_cast<size_t>(PostProc::noiseWidth(kWidth)) *
                                         PostProc::noiseHeight(kHeight));
        glBindTexture(GL_TEXTURE_2D, post.noiseTexture()->handle());
        glPixelStorei(GL_PACK_ALIGNMENT, 1);
        glGetTexImage(GL_TEXTURE_2D, 0, GL_RED, GL_UNSIGNED_BYTE, bytes.data());
        glPixelStorei(GL_PACK_ALIGNMENT, 4);
        return bytes;
    };
    setDemoRandState(12345);
    PostProc first;
    first.createNoiseTexture();
    const int r1 = demoRand(), r2 = demoRand();
    setDemoRandState(12345);
    PostProc second;
    second.createNoiseTexture();
    EXPECT_EQ(noiseBytes(first), noiseBytes(second));
    EXPECT_EQ(first.noiseTexture()->width(), static_cast<GLuint>(PostProc::noiseWidth(kWidth)));
    EXPECT_EQ(demoRand(), r1);
    EXPECT_EQ(demoRand(), r2);
    setDemoRandState(saved);
}

TEST(SceneTextureScan, ReportsSkipsAndErrorsWithoutStopping) {
    screenWidth = kWidth;
    screenHeight = kHeight;
    std::string why;
    if (!makeHeadlessSurfaceCurrent(kWidth, kHeight, &why)) GTEST_SKIP() << why;
    char pattern[] = "/tmp/hv_scene_XXXXXX";
    fs::path root = mkdtemp(pattern);
    fs::path source = HV_SOURCE_DIR;
    fs::create_directories(root / "data" / "Collada2" / "nested");
    fs::create_symlink(source / "shaders", root / "shaders");
    fs::create_symlink(source / "data" / "credits.png", root / "data" / "credits.png");
    for (const auto& entry : fs::directory_iterator(source / "data" / "Collada2"))
        fs::create_symlink(entry.path(), root / "data" / "Collada2" / entry.path().filename());
    fs::copy_file(source / "data" / "Collada2" / "wood_diffuse.png", root / "data" / "Collada2" / "LOUD.PNG");
    std::ofstream(root / "data" / "Collada2" / "broken.png") << "not a png at all";
    std::ofstream(root / "data" / "Collada2" / "notes.txt") << "hello";

    std::string output;
    {
        ChangeDirectory into(root.string());
        testing::internal::CaptureStdout();
        TestGeometry scene;
        output = testing::internal::GetCapturedStdout();
        EXPECT_EQ(scene.textures().count("LOUD.PNG"), 0u);
        EXPECT_EQ(scene.textures().count("broken.png"), 0u);
        EXPECT_EQ(scene.textures().count("wood_diffuse.png"), 1u);
    }
    EXPECT_NE(output.find("Skipped image data/Collada2/LOUD.PNG. Unsupported format\n"), std::string::npos);
    EXPECT_NE(output.find("Found file data/Collada2/nested\nSkipped image data/Collada2/nested. Unsupported format\n"),
              std::string::npos);
    EXPECT_NE(output.find("Skipped image data/Collada2/notes.txt. Unsupported format\n"), std::string::npos);
    EXPECT_NE(output.find("Error: [read_png_file] File data/Collada2/broken.png is not recognized as a PNG file\n"),
              std::string::npos)
        << output;
    fs::remove_all(root);
}
