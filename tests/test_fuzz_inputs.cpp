// Every input a fuzz target once failed on (tests/data/fuzz/<kind>/) passes its
// check now, and so do the film's own files the fuzzers start from.
#include "Checks.h"

#include <gtest/gtest.h>

#include <dirent.h>

#include <algorithm>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace {

std::vector<std::string> filesIn(const std::string& dir) {
    std::vector<std::string> files;
    if (DIR* handle = opendir(dir.c_str())) {
        while (dirent* entry = readdir(handle))
            if (entry->d_name[0] != '.') files.push_back(dir + "/" + entry->d_name);
        closedir(handle);
    }
    std::sort(files.begin(), files.end());
    return files;
}

std::vector<uint8_t> bytesOf(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

using Check = std::string (*)(const uint8_t*, size_t);

void replay(const std::vector<std::string>& files, Check check) {
    for (const std::string& file : files) {
        const std::vector<uint8_t> bytes = bytesOf(file);
        EXPECT_EQ(check(bytes.data(), bytes.size()), "") << file;
    }
}

const std::string kFuzzData = std::string(HV_TEST_DATA_DIR) + "/fuzz/";

}  // namespace

TEST(FuzzInputs, TrackFiles) { replay(filesIn(kFuzzData + "track"), fuzz::checkTrackFile); }

TEST(FuzzInputs, PngFiles) {
    replay(filesIn(kFuzzData + "png"), fuzz::checkPngFile);
    replay({std::string(HV_SOURCE_DIR) + "/data/credits.png"}, fuzz::checkPngFile);
}

TEST(FuzzInputs, TimelineTexts) {
    replay(filesIn(kFuzzData + "timeline"), fuzz::checkTimelineText);
    replay({std::string(HV_SOURCE_DIR) + "/timeline/halvane.timeline"}, fuzz::checkTimelineText);
}

TEST(FuzzInputs, ModelFiles) {
    replay(filesIn(kFuzzData + "model"), fuzz::checkModelFile);
    replay(filesIn(std::string(HV_TEST_DATA_DIR) + "/dae"), fuzz::checkModelFile);
    replay({std::string(HV_SOURCE_DIR) + "/data/Collada2/warehouse_BR12.dae"}, fuzz::checkModelFile);
}
