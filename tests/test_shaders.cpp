// Shader engine: the real sources compile and link, and every failure path reports
// the exact message (and ends the process where a source cannot be compiled).
#include "GlTestContext.h"
#include "cpp/ShaderEngine.h"
#include "platform/MessageBox.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <set>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

// A scratch working directory with a "shaders" subdirectory, removed afterwards.
class ScratchDirectory {
public:
    // A directory of a fixed name: a threadsafe death test re-runs the test in a child,
    // which must see the same path.
    explicit ScratchDirectory(const std::string& fixedName)
        : _path((fs::temp_directory_path() / fixedName).string()) {
        std::error_code ignored;
        fs::remove_all(_path, ignored);
        fs::create_directories(_path);
    }
    ScratchDirectory() {
        std::string pattern = (fs::temp_directory_path() / "hv_shaders_XXXXXX").string();
        std::vector<char> buffer(pattern.begin(), pattern.end());
        buffer.push_back('\0');
        const char* made = mkdtemp(buffer.data());
        if (made != nullptr) _path = made;
    }
    ~ScratchDirectory() {
        std::error_code ignored;
        fs::remove_all(_path, ignored);
    }
    const std::string& path() const { return _path; }
    void makeShaderDirectory() const { fs::create_directories(fs::path(_path) / "shaders"); }
    void write(const std::string& fileName, const std::string& text) const {
        makeShaderDirectory();
        std::ofstream(fs::path(_path) / "shaders" / fileName, std::ios::binary) << text;
    }

private:
    std::string _path;
};

const char* const kVertex =
    "#version 430 core\nlayout(location = 0) in vec3 p;\nvoid main() { gl_Position = vec4(p, 1.0); }\n";
const char* const kFragment = "#version 430 core\nout vec4 c;\nvoid main() { c = vec4(1.0); }\n";
const char* const kFragmentNeedingInput =
    "#version 430 core\nin vec4 neverWritten;\nout vec4 c;\nvoid main() { c = neverWritten; }\n";
const char* const kGeometry =
    "#version 430 core\nlayout(points) in;\nlayout(points, max_vertices = 1) out;\n"
    "void main() { gl_Position = gl_in[0].gl_Position; EmitVertex(); }\n";

class ShaderEngineTest : public hvtest::GlTest {
protected:
    void SetUp() override {
        hvtest::GlTest::SetUp();
        platform::setMessageBoxHook([this](const std::string& text) { messages.push_back(text); });
        testing::internal::CaptureStderr();
    }
    void TearDown() override {
        testing::internal::GetCapturedStderr();
        platform::setMessageBoxHook(nullptr);
        expectNoGlError();
    }
    std::vector<std::string> messages;
};

std::set<std::string> activeUniforms(GLuint program) {
    std::set<std::string> names;
    GLint count = 0;
    glGetProgramiv(program, GL_ACTIVE_UNIFORMS, &count);
    for (GLint i = 0; i < count; ++i) {
        char name[256] = {};
        GLint size = 0;
        GLenum type = 0;
        glGetActiveUniform(program, static_cast<GLuint>(i), sizeof(name), nullptr, &size, &type, name);
        names.insert(name);
    }
    return names;
}

}  // namespace

// The production path: create() from a working directory holding "shaders".
TEST_F(ShaderEngineTest, RealSourcesCompileAndEveryProgramLinks) {
    ScratchDirectory scratch;
    ASSERT_FALSE(scratch.path().empty());
    fs::create_directory_symlink(fs::path(HV_SOURCE_DIR) / "shaders", fs::path(scratch.path()) / "shaders");
    const fs::path previous = fs::current_path();
    fs::current_path(scratch.path());
    ShaderEngine* engine = ShaderEngine::create();
    fs::current_path(previous);

    EXPECT_TRUE(messages.empty()) << messages.front();
    EXPECT_EQ(engine, ShaderEngine::create());
    EXPECT_EQ(engine->shaders.size(), 26u);
    EXPECT_EQ(engine->programs.size(), 15u);
    for (const ShaderEngine::ProgramStages& stages : ShaderEngine::programTable()) {
        GLuint handle = 0;
        EXPECT_TRUE(engine->getProgram(stages.name, handle)) << stages.name;
        EXPECT_EQ(programHandle(stages.name), handle) << stages.name;
    }
    EXPECT_EQ(programHandle("noSuchProgram"), 0xFFFFFFFFu);
    GLuint untouched = 1234;
    EXPECT_FALSE(engine->getProgram("noSuchProgram", untouched));
    EXPECT_EQ(untouched, 1234u);

    // The shared vertex stage is one shader object in all seven quad programs.
    const GLuint sharedVertex = engine->shaders.at("passThrough.vp");
    for (const char* name :
         {"passThrough", "hblur", "vblur", "brightPass", "sumMipMaps", "dither", "postproc"}) {
        GLuint attached[3] = {};
        GLsizei count = 0;
        glGetAttachedShaders(engine->programs.at(name), 3, &count, attached);
        EXPECT_EQ(count, 2) << name;
        EXPECT_TRUE(attached[0] == sharedVertex || attached[1] == sharedVertex) << name;
    }
    // "shadow" links without the geometry stage that was compiled for it.
    GLsizei shadowStages = 0;
    GLuint shadowAttached[3] = {};
    glGetAttachedShaders(engine->programs.at("shadow"), 3, &shadowStages, shadowAttached);
    EXPECT_EQ(shadowStages, 2);
    EXPECT_EQ(engine->shaders.count("shadow.gp"), 1u);
}

// Every uniform a pass sets must be live in its program, or the pass silently sets nothing.
TEST_F(ShaderEngineTest, ProgramsExposeTheUniformsThePassesSet) {
    ShaderEngine engine(HV_SOURCE_DIR, ShaderEngine::sourceFiles(), ShaderEngine::programTable());
    ASSERT_TRUE(messages.empty());
    const std::vector<std::pair<std::string, std::vector<std::string>>> expected = {
        {"geometryPass", {"projection", "modelView", "model", "texDiff", "texSpec", "texNorm"}},
        {"gPassT", {"VP", "texDiff", "texNorm", "texSpec"}},
        {"shadow", {"MVP"}},
        {"lighting",
         {"texPos", "texNor", "texCol", "texTex", "texTan", "texBit", "texBum", "texSpc", "shadowMap",
          "blinnTermExponent", "attenuationExponent", "intensity", "lightPos", "lightAmb", "lightDif",
          "lightSpc"}},
        {"quad", {"aspectRatio", "amp", "image"}},
        {"brightPass", {"image"}},
        {"hblur", {"image", "mipmapLevel"}},
        {"vblur", {"image"}},
        {"sumMipMaps", {"mipmapLevel", "levels[0]"}},
        {"postproc", {"texFbo1", "texFbo2", "texNoise", "noiseOffset", "time"}},
    };
    for (const auto& [program, uniforms] : expected) {
        std::set<std::string> active = activeUniforms(engine.programs.at(program));
        for (const std::string& uniform : uniforms)
            EXPECT_EQ(active.count(uniform), 1u) << program << " " << uniform;
    }
}

TEST_F(ShaderEngineTest, CompileFailuresShowTheirExactMessages) {
    ScratchDirectory scratch;
    scratch.write("noext", kVertex);
    scratch.write("a.b.vp", kVertex);
    scratch.write("upper.VP", kVertex);
    scratch.write("broken.fp", "#version 430 core\nvoid main() { this is not glsl; }\n");
    ShaderEngine engine(scratch.path(), {}, {});
    const std::string shaderDir = scratch.path() + "/shaders/";

    EXPECT_FALSE(engine.compileShader("geometryPass.vp"));
    EXPECT_FALSE(engine.compileShader("noext"));
    EXPECT_FALSE(engine.compileShader("a.b.vp"));
    EXPECT_FALSE(engine.compileShader("upper.VP"));
    EXPECT_FALSE(engine.compileShader("broken.fp"));
    ASSERT_EQ(messages.size(), 5u);
    EXPECT_EQ(messages[0], "Cannot find file: " + shaderDir + "geometryPass.vp");
    EXPECT_EQ(messages[1], "Shader has no extension. Unable to determine type.");
    const std::string unknownType =
        "Unable to determine shader type. Shader source file has neither .fp, .vp or .gp extension: ";
    EXPECT_EQ(messages[2], unknownType + "a.b.vp");
    EXPECT_EQ(messages[3], unknownType + "upper.VP");
    // The compiler's log, then the path with no separator.
    const std::string path = shaderDir + "broken.fp";
    ASSERT_GT(messages[4].size(), path.size());
    EXPECT_EQ(messages[4].substr(messages[4].size() - path.size()), path);
    EXPECT_NE(messages[4].find("error"), std::string::npos);
    EXPECT_TRUE(engine.shaders.empty());
}

TEST_F(ShaderEngineTest, SecondRequestReusesTheCompiledShader) {
    ScratchDirectory scratch;
    scratch.write("v.vp", kVertex);
    ShaderEngine engine(scratch.path(), {"v.vp"}, {});
    const GLuint first = engine.shaders.at("v.vp");
    fs::remove(fs::path(scratch.path()) / "shaders" / "v.vp");  // a re-read would now fail
    EXPECT_TRUE(engine.compileShader("v.vp"));
    EXPECT_EQ(engine.shaders.size(), 1u);
    EXPECT_EQ(engine.shaders.at("v.vp"), first);
    EXPECT_TRUE(messages.empty());
}

TEST_F(ShaderEngineTest, LinkFailuresAreReportedAndTheProgramIsAbsent) {
    ScratchDirectory scratch;
    scratch.write("v.vp", kVertex);
    scratch.write("f.fp", kFragment);
    scratch.write("needs.fp", kFragmentNeedingInput);
    scratch.write("g.gp", kGeometry);
    ShaderEngine engine(scratch.path(), {"v.vp", "f.fp", "needs.fp", "g.gp"},
                        {{"good", "v.vp", "", "f.fp"},
                         {"brokenPair", "v.vp", "", "needs.fp"},
                         {"brokenTriple", "v.vp", "g.gp", "needs.fp"},
                         {"goodTriple", "v.vp", "g.gp", "f.fp"}});
    ASSERT_EQ(messages.size(), 2u);
    const std::string pairPrefix = "Linking shaders failed for in program brokenPair. ";
    EXPECT_EQ(messages[0].rfind(pairPrefix, 0), 0u) << messages[0];
    EXPECT_GT(messages[0].size(), pairPrefix.size());
    const std::string triplePrefix = "Linking shaders failed for program brokenTriple";
    EXPECT_EQ(messages[1].rfind(triplePrefix, 0), 0u) << messages[1];
    EXPECT_GT(messages[1].size(), triplePrefix.size());

    GLuint handle = 77;
    EXPECT_FALSE(engine.getProgram("brokenPair", handle));
    EXPECT_FALSE(engine.getProgram("brokenTriple", handle));
    EXPECT_EQ(handle, 77u);
    EXPECT_TRUE(engine.getProgram("good", handle));
    EXPECT_TRUE(engine.getProgram("goodTriple", handle));
    EXPECT_EQ(engine.programs.size(), 2u);
}

// Death tests capture standard error themselves; the child installs its own hook.
class ShaderEngineDeathTest : public hvtest::GlTest {
protected:
    void SetUp() override {
        hvtest::GlTest::SetUp();
        GTEST_FLAG_SET(death_test_style, "threadsafe");
    }
};

TEST_F(ShaderEngineDeathTest, MissingShaderDirectoryEndsAtTheFirstFileWithStatusOne) {
    ScratchDirectory scratch("hv_shaders_without_sources");
    const std::string expected = "Cannot find file: " + scratch.path() + "/shaders/geometryPass.vp";
    EXPECT_EXIT(
        {
            platform::setMessageBoxHook([](const std::string&) {});
            ShaderEngine engine(scratch.path(), ShaderEngine::sourceFiles(), ShaderEngine::programTable());
        },
        testing::ExitedWithCode(1), expected);
}

TEST_F(ShaderEngineDeathTest, CompileErrorEndsTheProcessBeforeLaterFiles) {
    ScratchDirectory scratch("hv_shaders_compile_error");
    scratch.write("bad.vp", "#version 430 core\nvoid main() { undefinedCall(); }\n");
    const std::string path = scratch.path() + "/shaders/bad.vp";
    // Counts the boxes and says how many on the way out: the missing file after the
    // failing one must never be tried.
    static int boxes = 0;
    auto run = [&] {
        platform::setMessageBoxHook([](const std::string&) { ++boxes; });
        std::atexit([] { std::fprintf(stderr, "boxes shown: %d\n", boxes); });
        ShaderEngine engine(scratch.path(), {"bad.vp", "neverTried.fp"}, {});
    };
    EXPECT_EXIT(run(), testing::ExitedWithCode(1), path);
    EXPECT_EXIT(run(), testing::ExitedWithCode(1), "boxes shown: 1\n");
}

TEST_F(ShaderEngineDeathTest, UnknownExtensionEndsTheProcess) {
    ScratchDirectory scratch("hv_shaders_unknown_extension");
    scratch.write("x.VP", kVertex);
    EXPECT_EXIT(
        {
            platform::setMessageBoxHook([](const std::string&) {});
            ShaderEngine engine(scratch.path(), {"x.VP"}, {});
        },
        testing::ExitedWithCode(1), "neither \\.fp, \\.vp or \\.gp extension: x\\.VP");
}
