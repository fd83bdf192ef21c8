// Regenerating the art reproduces the committed files byte for byte: the generators are
// the source of every committed PNG and of the model.
#include "test_content_support.h"

#include <gtest/gtest.h>

namespace {
using namespace contenttest;

void expectSameBytes(const std::filesystem::path& fresh, const std::filesystem::path& committed) {
    ASSERT_TRUE(std::filesystem::exists(fresh)) << fresh;
    ASSERT_TRUE(std::filesystem::exists(committed)) << committed;
    EXPECT_TRUE(readBytes(fresh) == readBytes(committed)) << committed << " differs from a fresh run";
}

TEST(ContentRegeneration, TexturesAndModelMatchTheCommittedFiles) {
    ScratchDir dir("models");
    ASSERT_EQ(run(std::string(HV_TEXTUREGEN) + " '" + dir.path().string() + "'"), 0);
    ASSERT_EQ(run(std::string(HV_WAREHOUSEGEN) + " '" + (dir.path() / "warehouse_BR12.dae").string() + "'"),
              0);
    size_t compared = 0;
    for (const auto& entry : std::filesystem::directory_iterator(dir.path())) {
        expectSameBytes(entry.path(), kModelDir / entry.path().filename());
        ++compared;
    }
    // Nothing committed that the generators no longer make.
    size_t committed = 0;
    for (const auto& entry : std::filesystem::directory_iterator(kModelDir)) {
        (void)entry;
        ++committed;
    }
    EXPECT_EQ(compared, committed);
}

TEST(ContentRegeneration, CreditsAndContactSheetsMatchTheCommittedFiles) {
    ScratchDir dir("pictures");
    ASSERT_EQ(run(std::string(HV_CREDITSGEN) + " '" + (dir.path() / "credits.png").string() + "'"), 0);
    expectSameBytes(dir.path() / "credits.png", kSource / "data" / "credits.png");
    ASSERT_EQ(
        run(std::string(HV_CONTACTSHEET) + " '" + kTimeline.string() + "' '" + kModelDir.string() + "' '" +
            (dir.path() / "timeline.png").string() + "' '" + (dir.path() / "textures.png").string() + "'"),
        0);
    expectSameBytes(dir.path() / "timeline.png", kSource / "docs" / "timeline.png");
    expectSameBytes(dir.path() / "textures.png", kSource / "docs" / "textures.png");
}

TEST(ContentRegeneration, GeneratorsRefuseBadArgumentsAndUnwritableOutput) {
    EXPECT_EQ(run(std::string(HV_TEXTUREGEN) + " 2>/dev/null"), 2);
    EXPECT_EQ(run(std::string(HV_TEXTUREGEN) + " /nonexistent/dir 2>/dev/null"), 1);
    EXPECT_EQ(run(std::string(HV_WAREHOUSEGEN) + " /nonexistent/dir/w.dae 2>/dev/null"), 1);
    EXPECT_EQ(run(std::string(HV_CREDITSGEN) + " /nonexistent/c.png 2>/dev/null"), 1);
    EXPECT_EQ(run(std::string(HV_CREDITSGEN) + " /tmp/c.png /nonexistent/fonts 2>/dev/null"), 1);
}

}  // namespace
