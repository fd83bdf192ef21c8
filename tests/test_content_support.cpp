#include "test_content_support.h"

#include <cstdlib>
#include <fstream>
#include <iterator>
#include <sys/wait.h>
#include <unistd.h>

namespace contenttest {

ScratchDir::ScratchDir(const std::string& tag)
    : _path(std::filesystem::temp_directory_path() / ("hv_content_" + tag + "_" + std::to_string(getpid()))) {
    std::filesystem::remove_all(_path);
    std::filesystem::create_directories(_path);
}

ScratchDir::~ScratchDir() {
    std::error_code ignored;
    std::filesystem::remove_all(_path, ignored);
}

int run(const std::string& commandLine) {
    const int status = std::system((commandLine + " >/dev/null").c_str());
    if (status == -1 || !WIFEXITED(status)) {
        return -1;
    }
    return WEXITSTATUS(status);
}

std::vector<char> readBytes(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    return std::vector<char>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

const std::vector<std::string>& trackNames() {
    static const std::vector<std::string> names = {
        "ts.eyepos.x", "ts.eyepos.y",  "ts.eyepos.z",  "ts.tarpos.x",  "ts.tarpos.y", "ts.tarpos.z",
        "up.x",        "up.y",         "up.z",         "ts.blinnexp",  "bunchpos.x",  "bunchpos.y",
        "bunchpos.z",  "lightP_Off.x", "lightP_Off.y", "lightP_Off.z", "atten_exp",   "light_intens",
        "mpos.x",      "mpos.y",       "mpos.z",       "credits"};
    return names;
}

}  // namespace contenttest
