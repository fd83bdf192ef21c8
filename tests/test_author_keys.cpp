// Keys written into the film's timeline: exactly the expected bytes change, the result
// compiles to the same tracks plus the keys, and the file's undo and redo give back the
// exact bytes; broken, read-only and deleted timelines are refused and left alone.
#include "KeyWriter.h"
#include "Timeline.h"
#include "TimelineFile.h"

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <cmath>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <map>
#include <string>

namespace {

std::string readFile(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
}

void writeFile(const std::string& path, const std::string& text) {
    std::ofstream(path, std::ios::binary) << text;
}

// Replaces the one occurrence of `from` (a whole line with its '\n').
std::string replaced(std::string text, const std::string& from, const std::string& to) {
    const size_t at = text.find(from);
    EXPECT_NE(at, std::string::npos) << from;
    EXPECT_EQ(text.find(from, at + 1), std::string::npos) << from;
    return at == std::string::npos ? text : text.replace(at, from.size(), to);
}

using Keys = std::map<std::string, std::map<int, std::pair<float, int>>>;
Keys keysOf(const std::string& text) {
    synctrack::Timeline timeline;
    std::string error;
    EXPECT_TRUE(synctrack::parseTimeline(text, "t", &timeline, &error)) << error;
    Keys keys;
    for (const auto& track : timeline.tracks)
        for (const auto& key : track.keys) keys[track.name][key.row] = {key.value, key.type};
    return keys;
}

const std::string kFilm = readFile(HV_SOURCE_DIR "/timeline/halvane.timeline");

}  // namespace

TEST(AuthorKeys, TheFilmsTimelineChangesExactlyWhereTheKeysGo) {
    ASSERT_FALSE(kFilm.empty());
    const std::vector<keys::Key> written = {
        {"ts.eyepos.x", 28 * 32, 1.25f},      // replaced: keeps smooth and its comment
        {"ts.eyepos.x", 32 * 32, -10.0625f},  // replaced by a longer value
        {"ts.eyepos.y", 33 * 32, 0.1f},       // inserted on a beat
        {"ts.eyepos.y", 33 * 32 + 3, 4.5f},   // inserted between beats
        {"up.x", 8, 0.02f},                   // inserted after a step key: a step key
        {"light_intens", 4, 2.0f}};
    std::string result;
    std::string error;
    ASSERT_TRUE(keys::writeKeys(kFilm, written, "halvane.timeline", &result, &error)) << error;

    std::string expected = kFilm;
    expected = replaced(expected, "28:0        2.288  smooth     # main: orbit\n",
                        "28:0         1.25  smooth     # main: orbit\n");
    expected = replaced(expected, "32:0         9.29  smooth\n36:0        8.202",
                        "32:0     -10.0625  smooth\n36:0        8.202");
    expected = replaced(expected, "32:0          4.6  smooth\n36:0            3  smooth\n",
                        "32:0          4.6  smooth\n33:0          0.1  smooth\n1059          4.5  smooth\n"
                        "36:0            3  smooth\n");
    expected = replaced(expected, "[up.x]\n0:0             0  step       # level\n",
                        "[up.x]\n0:0             0  step       # level\n0:1          0.02  step\n");
    expected =
        replaced(expected, "0:0             0  smooth     # intro: fade up from black\n",
                 "0:0             0  smooth     # intro: fade up from black\n4               2  smooth\n");
    EXPECT_EQ(result, expected);

    // The compiled tracks: the old ones with exactly these keys set.
    Keys want = keysOf(kFilm);
    for (const keys::Key& key : written) {
        const bool existed = want[key.track].count(key.row) > 0;
        auto& slot = want[key.track][key.row];
        slot.first = key.value;
        if (!existed) slot.second = key.track == "up.x" ? 0 : 2;  // step after a step key, else smooth
    }
    EXPECT_EQ(keysOf(result), want);
}

TEST(AuthorKeys, EdgesOfTheTextAndRefusals) {
    const std::string text = "rows_per_beat 4\n[a]\n  8\t1\tlinear # x\n[b]\n[c]\n  2:0    1.5  ramp";
    std::string result;
    std::string error;
    ASSERT_TRUE(keys::writeKeys(
        text, {{"a", 0, -2.0f}, {"b", 10, 3.0f}, {"c", 40, 7.0f}, {"c", 8, 0.0f}, {"d", 4, 1.0f}}, "t",
        &result, &error))
        << error;
    EXPECT_EQ(result,
              "rows_per_beat 4\n[a]\n  0:0\t-2\tsmooth\n  8\t1\tlinear # x\n[b]\n10  3  smooth\n[c]\n"
              "  0:2      0  smooth\n  2:0    1.5  ramp\n  2:2      7  ramp\n\n[d]\n  0:1      1  smooth\n");
    EXPECT_EQ(keys::formatValue(2.288f), "2.288");
    EXPECT_EQ(keys::formatValue(-0.0f), "0");
    EXPECT_EQ(keys::formatRow(1056, 8, 4), "33:0");

    // A text the editor saved broken, a value that is no number: nothing comes out.
    result = "untouched";
    EXPECT_FALSE(keys::writeKeys("[a]\n0 1 wobbly\n", {{"a", 8, 1.0f}}, "t.timeline", &result, &error));
    EXPECT_NE(error.find("t.timeline:2"), std::string::npos) << error;
    EXPECT_FALSE(keys::writeKeys(text, {{"a", 8, std::nanf("")}}, "t", &result, &error));
    EXPECT_FALSE(keys::writeKeys("[a]\n0 -3e38 step\n", {{"a", 8, 3e38f}}, "t", &result, &error));
    EXPECT_EQ(result, "untouched");
}

TEST(AuthorKeys, TheFileSavesUndoesAndRedoesExactBytes) {
    char folder[] = "/tmp/hv_keys_XXXXXX";
    ASSERT_NE(mkdtemp(folder), nullptr);
    const std::string path = std::string(folder) + "/halvane.timeline";
    writeFile(path, kFilm);
    chmod(path.c_str(), 0640);
    TimelineFile file(path);
    std::string error;
    std::string first;
    std::string second;
    ASSERT_TRUE(keys::writeKeys(kFilm, {{"ts.eyepos.z", 1056, 1.0f}}, path, &first, &error));
    ASSERT_TRUE(keys::writeKeys(first, {{"ts.eyepos.z", 1056, 2.0f}}, path, &second, &error));

    ASSERT_TRUE(file.writeKeys({{"ts.eyepos.z", 1056, 1.0f}}, "one", &error)) << error;
    ASSERT_TRUE(file.writeKeys({{"ts.eyepos.z", 1056, 2.0f}}, "two", &error)) << error;
    EXPECT_EQ(readFile(path), second);
    struct stat info {};
    ASSERT_EQ(stat(path.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0640u);  // the permissions survive the rename
    std::string label;
    ASSERT_TRUE(file.undo(&error, &label)) << error;
    EXPECT_EQ(label, "two");
    EXPECT_EQ(readFile(path), first);
    ASSERT_TRUE(file.undo(&error)) << error;
    EXPECT_EQ(readFile(path), kFilm);
    EXPECT_FALSE(file.undo(&error));
    ASSERT_TRUE(file.redo(&error)) << error;
    EXPECT_EQ(readFile(path), first);

    // Edited in a text editor since: redoing would lose that edit.
    writeFile(path, first + "# mine\n");
    EXPECT_FALSE(file.redo(&error));
    EXPECT_NE(error.find("changed since"), std::string::npos) << error;
    EXPECT_EQ(readFile(path), first + "# mine\n");

    // Broken, read-only, gone: refused with a message, the text as it was.
    writeFile(path, kFilm + "[credits2]\n0 1 wobbly\n");
    EXPECT_FALSE(file.writeKeys({{"ts.eyepos.z", 1056, 1.0f}}, "one", &error));
    EXPECT_NE(error.find("halvane.timeline:"), std::string::npos) << error;
    EXPECT_EQ(readFile(path), kFilm + "[credits2]\n0 1 wobbly\n");
    writeFile(path, kFilm);
    chmod(path.c_str(), 0444);
    EXPECT_FALSE(file.writeKeys({{"ts.eyepos.z", 1056, 1.0f}}, "one", &error));
    EXPECT_NE(error.find("read-only"), std::string::npos) << error;
    EXPECT_EQ(readFile(path), kFilm);
    std::remove(path.c_str());
    EXPECT_FALSE(file.writeKeys({{"ts.eyepos.z", 1056, 1.0f}}, "one", &error));
    EXPECT_NE(error.find("is gone"), std::string::npos) << error;
    EXPECT_EQ(rmdir(folder), 0);  // and no temporary file left behind
}
