// The modelinfo tool: JSON of an imported graph, exit statuses, string escaping.
#include "GraphJson.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdio>
#include <string>

#include "Portable.h"

namespace {

struct ToolRun {
    int status = -1;
    std::string out;
};

// Runs modelinfo with `arguments`; stdout is captured, stderr folded into it when asked.
ToolRun runModelinfo(const std::string& arguments, bool withStderr = false) {
    ToolRun run;
    const std::string command = hvtest::programCommand(HV_MODELINFO) + " " + arguments +
                                (withStderr ? " 2>&1" : std::string(" 2>") + hvtest::kNullDevice);
    FILE* pipe = popen(command.c_str(), "r");
    if (pipe == nullptr) return run;
    std::array<char, 4096> buffer{};
    size_t n = 0;
    while ((n = fread(buffer.data(), 1, buffer.size(), pipe)) > 0) run.out.append(buffer.data(), n);
    run.status = hvtest::exitStatus(pclose(pipe));
    return run;
}

bool contains(const std::string& text, const std::string& part) {
    return text.find(part) != std::string::npos;
}

const std::string kDataDir = std::string(HV_TEST_DATA_DIR) + "/dae/";

}  // namespace

TEST(ModelInfo, PrintsTheTreeGeometryTexturesAndLight) {
    ToolRun run = runModelinfo(kDataDir + "textured.dae");
    ASSERT_EQ(run.status, 0) << run.out;
    EXPECT_EQ(run.out.rfind("{\"root\": {\"kind\": \"group\", \"name\": \"\"", 0), 0u) << run.out;
    EXPECT_TRUE(contains(run.out,
                         "{\"kind\": \"transform\", \"name\": \"wall\", \"matrix\": [1, 0, 0, 0, 0, 1, 0, "
                         "0, 0, 0, 1, 0, 0, 0, 0, 1]"))
        << run.out;
    EXPECT_TRUE(contains(run.out,
                         "\"geometry\": {\"mode\": \"triangles\", \"vertices\": 4, \"indices\": 6, "
                         "\"locations\": [0, 1, 2, 3, 4, 5], \"textures\": {\"7\": \"wall_diffuse.png\", "
                         "\"8\": \"wall_specular.png\"}}"))
        << run.out;
    EXPECT_TRUE(contains(run.out,
                         "\"lights\": [{\"position\": [0, 8, 0], \"ambient\": [0.00100000005, "
                         "0.00100000005, 0.00100000005], \"diffuse\": [1, 1, 1], \"specular\": [1, 1, 1], "
                         "\"intensity\": 1}]"))
        << run.out;
}

TEST(ModelInfo, ListsBonesAndAnimationChannels) {
    ToolRun skinned = runModelinfo(kDataDir + "skinned.dae");
    ASSERT_EQ(skinned.status, 0);
    EXPECT_TRUE(contains(skinned.out, "{\"name\": \"shared\", \"index\": 1, \"weights\": 3}")) << skinned.out;
    EXPECT_TRUE(contains(skinned.out, "{\"name\": \"lower\", \"index\": 3, \"weights\": 3}")) << skinned.out;
    ToolRun animated = runModelinfo(kDataDir + "hierarchy.dae");
    ASSERT_EQ(animated.status, 0);
    EXPECT_TRUE(contains(animated.out,
                         "\"channels\": [{\"node\": \"parent\", \"scaling\": 1, \"position\": 2, "
                         "\"rotation\": 1}, {\"node\": \"child\", \"scaling\": 1, \"position\": 2, "
                         "\"rotation\": 1}]"))
        << animated.out;
}

TEST(ModelInfo, FailuresExitWithAReason) {
    ToolRun missing = runModelinfo(kDataDir + "nothing_here.dae", true);
    EXPECT_EQ(missing.status, 1);
    EXPECT_TRUE(contains(missing.out, "Unable to open file \"" + kDataDir + "nothing_here.dae\"."))
        << missing.out;
    EXPECT_EQ(runModelinfo("").status, 2);
    EXPECT_EQ(runModelinfo("a.dae b.dae").status, 2);
}

TEST(ModelInfo, JsonStringsAreEscaped) {
    EXPECT_EQ(modelinfo::jsonString("a\"b\\c\n\x01"), "\"a\\\"b\\\\c\\n\\u0001\"");
}
