#include "ScratchFile.h"

#include <cstdio>
#include <cstdlib>
#include <stdexcept>
#include <unistd.h>
#include <vector>

namespace fuzz {

ScratchFile::ScratchFile(const std::string& suffix) {
    const char* dir = std::getenv("TMPDIR");
    std::string pattern = std::string(dir && *dir ? dir : "/tmp") + "/hv_fuzz_XXXXXX" + suffix;
    std::vector<char> name(pattern.begin(), pattern.end());
    name.push_back('\0');
    const int fd = mkstemps(name.data(), static_cast<int>(suffix.size()));
    if (fd < 0) throw std::runtime_error("cannot create a scratch file from " + pattern);
    close(fd);
    _path = name.data();
}

ScratchFile::~ScratchFile() { std::remove(_path.c_str()); }

bool ScratchFile::write(const uint8_t* data, size_t size) {
    FILE* file = std::fopen(_path.c_str(), "wb");
    if (!file) return false;
    const bool written = size == 0 || std::fwrite(data, 1, size, file) == size;
    return std::fclose(file) == 0 && written;
}

}  // namespace fuzz
