// Rebuilding programs from a saved shader source: a source that does not compile or a
// program that does not link changes nothing and says why; a good one replaces every
// program that uses it, and only those.
#include "GlTestContext.h"
#include "cpp/ShaderReloader.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>

namespace fs = std::filesystem;

namespace {

struct ShaderCopy {
    fs::path root;
    ShaderCopy() {
        char pattern[] = "/tmp/hv_reload_XXXXXX";
        root = mkdtemp(pattern);
        fs::copy(fs::path(HV_SOURCE_DIR) / "shaders", root / "shaders");
    }
    ~ShaderCopy() { fs::remove_all(root); }
    void write(const std::string& file, const std::string& text) const {
        std::ofstream(root / "shaders" / file, std::ios::binary | std::ios::trunc) << text;
    }
    std::string read(const std::string& file) const {
        std::ifstream in(root / "shaders" / file, std::ios::binary);
        return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    }
};

}  // namespace

TEST(ShaderReload, FailuresKeepThePrograms_SuccessReplacesTheUsers) {
    std::string why;
    if (!hvtest::makeHeadlessContextCurrent(&why)) GTEST_SKIP() << why;
    ShaderCopy copy;
    ShaderEngine engine(copy.root.string(), ShaderEngine::sourceFiles(), ShaderEngine::programTable());
    ShaderReloader reloader(engine);
    EXPECT_TRUE(reloader.knows("pp.fp"));
    EXPECT_FALSE(reloader.knows("pp.fp~"));
    const std::map<std::string, GLuint> before = engine.programs;
    const std::string good = copy.read("pp.fp");
    std::vector<std::string> rebuilt;

    copy.write("pp.fp", good + "\nthis is not GLSL;\n");
    EXPECT_FALSE(reloader.rebuild("pp.fp", &rebuilt, &why));
    EXPECT_NE(why.find("error"), std::string::npos) << why;
    EXPECT_EQ(engine.programs, before);

    // Compiles alone, but reads the vertex stage's output with another type: a link failure.
    copy.write("pp.fp", "#version 430 core\nin vec3 vTexcoord;\nout vec4 c;\nvoid main() { c = vec4(vTexcoord, 1.0); }\n");
    EXPECT_FALSE(reloader.rebuild("pp.fp", &rebuilt, &why));
    EXPECT_NE(why.find("linking postproc"), std::string::npos) << why;
    EXPECT_EQ(engine.programs, before);

    copy.write("pp.fp", good);
    ASSERT_TRUE(reloader.rebuild("pp.fp", &rebuilt, &why)) << why;
    EXPECT_EQ(rebuilt, std::vector<std::string>{"postproc"});
    EXPECT_NE(engine.programs.at("postproc"), before.at("postproc"));
    EXPECT_EQ(engine.programs.at("lighting"), before.at("lighting"));
    EXPECT_TRUE(glIsProgram(engine.programs.at("postproc")));

    ASSERT_TRUE(reloader.rebuild("passThrough.vp", &rebuilt, &why)) << why;
    EXPECT_EQ(rebuilt.size(), 7u);  // every program over the full-screen pass-through
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}
