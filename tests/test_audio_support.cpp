#include "test_audio_support.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace audiotest {

TempDir::TempDir() {
    std::string pattern = (std::filesystem::temp_directory_path() / "hv_audio_XXXXXX").string();
    if (mkdtemp(pattern.data()) != nullptr) _path = pattern;
    EXPECT_FALSE(_path.empty()) << "cannot create a temporary directory";
}

TempDir::~TempDir() {
    std::error_code ignored;
    if (!_path.empty()) std::filesystem::remove_all(_path, ignored);
}

std::string makeSineMp3(const TempDir& dir, const std::string& name, double seconds, int rate) {
    const std::string wav = dir.file(name + ".wav");
    const std::string mp3 = dir.file(name);
    std::ostringstream command;
    command << "sox -n -r " << rate << " -c 2 -b 16 '" << wav << "' synth " << seconds
            << " sine 440 gain -6 && lame --quiet -b 128 --cbr '" << wav << "' '" << mp3 << "'";
    const int status = std::system(command.str().c_str());
    EXPECT_EQ(status, 0) << "making a test MP3 needs Debian's sox and lame: " << command.str();
    return mp3;
}

void writeFile(const std::string& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary);
    out << bytes;
}

WorkingDirectory::WorkingDirectory(const std::string& dir)
    : _previous(std::filesystem::current_path().string()) {
    std::filesystem::current_path(dir);
}

WorkingDirectory::~WorkingDirectory() {
    std::filesystem::current_path(_previous);
}

}  // namespace audiotest
