// Shared helpers for the content tests: paths of the committed art, scratch directories,
// running the generator tools and comparing files byte for byte.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

namespace contenttest {

inline const std::filesystem::path kSource = HV_SOURCE_DIR;
inline const std::filesystem::path kModelDir = kSource / "data" / "Collada2";
inline const std::filesystem::path kModelFile = kModelDir / "warehouse_BR12.dae";
inline const std::filesystem::path kTimeline = kSource / "timeline" / "halvane.timeline";

// The music: 84 bars of 32 rows; the film's tracks must reach its last bar.
constexpr int kRowsPerBar = 32;
constexpr int kMusicBars = 84;

// A fresh, empty directory unique to this process and tag; removed by the destructor.
class ScratchDir {
public:
    explicit ScratchDir(const std::string& tag);
    ~ScratchDir();
    ScratchDir(const ScratchDir&) = delete;
    ScratchDir& operator=(const ScratchDir&) = delete;
    const std::filesystem::path& path() const { return _path; }

private:
    std::filesystem::path _path;
};

// Runs a command line through the shell; returns its exit status (-1 when it could not run).
int run(const std::string& commandLine);

std::vector<char> readBytes(const std::filesystem::path& file);

// The 22 parameter names the scene reads.
const std::vector<std::string>& trackNames();

}  // namespace contenttest
