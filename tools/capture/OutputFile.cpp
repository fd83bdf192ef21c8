#include "OutputFile.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace fs = std::filesystem;

namespace {

// The temporary file of the run, removed if the process ends through exit() before the rename.
std::string g_pending;

void removePending() {
    if (!g_pending.empty()) ::unlink(g_pending.c_str());
}

}  // namespace

OutputFile::~OutputFile() { discard(); }

bool OutputFile::checkWritable(std::string* why) const {
    std::error_code error;
    if (fs::is_directory(_path, error)) return *why = "cannot write " + _path + ": it is a directory", false;
    const fs::path directory = fs::path(_path).parent_path();
    if (!fs::is_directory(directory, error))
        return *why = "cannot write " + _path + ": there is no directory " + directory.string(), false;
    if (::access(directory.c_str(), W_OK) != 0)
        return *why = "cannot write " + _path + ": " + std::strerror(errno), false;
    return true;
}

bool OutputFile::create(std::string* why) {
    const fs::path target(_path);
    std::string pattern = (target.parent_path() / ("." + target.filename().string() + ".XXXXXX.part")).string();
    std::vector<char> name(pattern.begin(), pattern.end());
    name.push_back('\0');
    const int fd = ::mkstemps(name.data(), 5);
    if (fd < 0) return *why = "cannot write in " + target.parent_path().string() + ": " + std::strerror(errno), false;
    // mkstemp's 0600 would follow the file through the rename; give it what a new file gets.
    const mode_t mask = ::umask(0);
    ::umask(mask);
    ::fchmod(fd, 0666 & ~mask);
    ::close(fd);
    _temporary = name.data();
    static bool registered = false;
    if (!registered) std::atexit(removePending);
    registered = true;
    g_pending = _temporary;
    return true;
}

bool OutputFile::commit(std::string* why) {
    if (std::rename(_temporary.c_str(), _path.c_str()) != 0) {
        *why = "cannot rename " + _temporary + " to " + _path + ": " + std::strerror(errno);
        discard();
        return false;
    }
    _temporary.clear();
    g_pending.clear();
    return true;
}

void OutputFile::discard() {
    if (_temporary.empty()) return;
    ::unlink(_temporary.c_str());
    _temporary.clear();
    g_pending.clear();
}
