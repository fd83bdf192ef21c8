// The timeline text and the synctrack tool.
#include "Timeline.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <string>

#include "Portable.h"

namespace {

std::string parseError(const std::string& text) {
    synctrack::Timeline timeline;
    std::string error;
    EXPECT_FALSE(synctrack::parseTimeline(text, "film.timeline", &timeline, &error)) << text;
    return error;
}

struct ToolRun {
    int status = -1;
    std::string output;
};

ToolRun run(const std::string& arguments) {
    ToolRun result;
    std::string command =
        hvtest::programCommand(std::string(HV_BINARY_DIR) + "/synctrack") + " " + arguments + " 2>&1";
    FILE* pipe = popen(command.c_str(), "r");
    if (!pipe) return result;
    char buffer[512];
    while (std::fgets(buffer, sizeof buffer, pipe)) result.output += buffer;
    result.status = hvtest::exitStatus(pclose(pipe));
    return result;
}

// A scratch directory removed when the test ends.
struct ScratchDir {
    std::string path;
    ScratchDir() : path(hvtest::makeScratchDir("hv_synctool")) {}
    ~ScratchDir() { hvtest::removeTree(path); }
};

}  // namespace

TEST(Timeline, ParsesSectionsBarsAndTypes) {
    const char* text =
        "# film\n"
        "rows_per_beat 8\n"
        "beats_per_bar 4\n"
        "[credits]\n"
        "0     0     step   # silent\n"
        "76:0  0     linear\n"
        "78:0  1.0   smooth\n"
        "78:2.5 1e-1 ramp\n";
    synctrack::Timeline timeline;
    std::string error;
    ASSERT_TRUE(synctrack::parseTimeline(text, "film.timeline", &timeline, &error)) << error;
    ASSERT_EQ(timeline.tracks.size(), 1u);
    const auto& keys = timeline.tracks[0].keys;
    ASSERT_EQ(keys.size(), 4u);
    EXPECT_EQ(keys[1].row, 76 * 32);
    EXPECT_EQ(keys[3].row, 78 * 32 + 20);
    EXPECT_EQ(keys[2].type, 2);
    EXPECT_FLOAT_EQ(keys[3].value, 0.1f);
}

TEST(Timeline, ErrorsNameFileAndLine) {
    EXPECT_EQ(parseError("[a]\n0 1 step\n0 2 step\n"), "film.timeline:3: row 0 appears twice");
    EXPECT_EQ(parseError("[a]\n5 1 step\n2 2 step\n"),
              "film.timeline:3: row 2 comes after row 5: rows must increase");
    EXPECT_EQ(parseError("[a]\n0 1 wobble\n"),
              "film.timeline:2: unknown key type 'wobble' (step, linear, smooth or ramp)");
    EXPECT_EQ(parseError("\n[a]\n0 1.2.3 step\n"), "film.timeline:3: bad number '1.2.3'");
    EXPECT_EQ(parseError("0 1 step\n"), "film.timeline:1: key before the first [track] section");
    EXPECT_EQ(parseError("[a]\n-4 1 step\n"), "film.timeline:2: bad row '-4'");
    EXPECT_EQ(parseError("[a]\n1:0.1 1 step\n"), "film.timeline:2: row '1:0.1' is not a whole row");
    EXPECT_EQ(parseError("[../evil]\n"), "film.timeline:1: bad track name '../evil'");
    EXPECT_EQ(parseError("[a]\n[a]\n"), "film.timeline:2: track 'a' appears twice");
    EXPECT_EQ(parseError("[a]\n0 1\n"), "film.timeline:2: expected ROW VALUE TYPE");
    // Each value is in range, but the film would refuse the pair: the compiler says so first.
    EXPECT_EQ(parseError("[a]\n0 -3e38 linear\n1 3e38 step\n"),
              "film.timeline:3: value '3e38' is too far from the previous key's for single precision");
}

TEST(SyncTool, CompiledTracksEvaluateAsSpecified) {
    ScratchDir scratch;
    const std::string& dir = scratch.path;
    std::ofstream(dir + "/t.timeline") << "[lin]\n0 1 linear\n10 3 step\n[smo]\n0 1 smooth\n10 3 step\n"
                                          "[ram]\n0 1 ramp\n10 3 step\n";
    ToolRun compiled = run("compile " + dir + "/t.timeline " + dir);
    ASSERT_EQ(compiled.status, 0) << compiled.output;

    ToolRun linear = run("eval " + dir + "/sync_lin.track 5 2.5 -1 10 25");
    EXPECT_EQ(linear.status, 0);
    EXPECT_EQ(linear.output, "2\n1.5\n1\n3\n3\n");
    EXPECT_EQ(run("eval " + dir + "/sync_smo.track 2.5").output, "1.3125\n");
    EXPECT_EQ(run("eval " + dir + "/sync_ram.track 5").output, "1.5\n");

    ToolRun dumped = run("dump " + dir + "/sync_lin.track");
    EXPECT_EQ(dumped.status, 0);
    EXPECT_NE(dumped.output.find("10 3 step(0)"), std::string::npos) << dumped.output;
}

TEST(SyncTool, HostileFilesEvaluateToZeroAndUsageErrorsExitTwo) {
    ScratchDir scratch;
    const std::string& dir = scratch.path;
    {
        std::ofstream huge(dir + "/huge.track", std::ios::binary);
        const unsigned char count[8] = {0xFF, 0xFF, 0xFF, 0x7F, 0, 0, 0, 0};
        huge.write(reinterpret_cast<const char*>(count), 8);
        huge.write("\0\0\0\0\0\0\x80\x3f\x01", 9);
    }
    // The device reads the named file as its "eval" track and says it refused it.
    EXPECT_EQ(run("eval " + dir + "/huge.track 3").output,
              "sync: sync_eval.track refused (shorter than its key count); the track stays at 0.0\n0\n");
    EXPECT_EQ(run("eval " + dir + "/missing.track 3").output, "0\n");
    ToolRun dumped = run("dump " + dir + "/huge.track");
    EXPECT_EQ(dumped.status, 1);
    EXPECT_NE(dumped.output.find("truncated after 1 of 2147483647 keys"), std::string::npos) << dumped.output;

    EXPECT_EQ(run("eval " + dir + "/huge.track abc").status, 2);
    EXPECT_EQ(run("frobnicate").status, 2);
    EXPECT_EQ(run("").status, 2);
    std::ofstream(dir + "/bad.timeline") << "[a]\n0 1 nope\n";
    ToolRun bad = run("compile " + dir + "/bad.timeline " + dir);
    EXPECT_EQ(bad.status, 1);
    EXPECT_NE(bad.output.find("bad.timeline:2: unknown key type 'nope'"), std::string::npos) << bad.output;
}
