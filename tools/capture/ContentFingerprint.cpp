#include "ContentFingerprint.h"

#include <algorithm>
#include <cinttypes>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <vector>

namespace fs = std::filesystem;

namespace {

constexpr uint64_t kOffset = 14695981039346656037ull;
constexpr uint64_t kPrime = 1099511628211ull;

void mix(uint64_t* hash, const char* bytes, size_t count) {
    uint64_t h = *hash;
    for (size_t i = 0; i < count; ++i) {
        h ^= static_cast<unsigned char>(bytes[i]);
        h *= kPrime;
    }
    *hash = h;
}

}  // namespace

std::optional<std::string> contentFingerprint(const std::string& runDirectory, std::string* why) {
    const fs::path root(runDirectory);
    std::error_code error;
    if (!fs::is_directory(root / "data", error))
        return *why = "no data folder in " + runDirectory, std::nullopt;
    std::vector<std::string> files;
    for (const char* folder : {"data", "shaders"}) {
        if (!fs::is_directory(root / folder, error)) continue;
        for (fs::recursive_directory_iterator it(root / folder, error), end; !error && it != end;
             it.increment(error))
            if (it->is_regular_file(error))
                files.push_back(fs::relative(it->path(), root, error).generic_string());
        if (error)
            return *why = "cannot list " + (root / folder).string() + ": " + error.message(), std::nullopt;
    }
    for (const fs::directory_entry& entry : fs::directory_iterator(root, error)) {
        const std::string name = entry.path().filename().string();
        if (name.rfind("sync_", 0) == 0 && entry.path().extension() == ".track") files.push_back(name);
    }
    std::sort(files.begin(), files.end());

    uint64_t hash = kOffset;
    std::vector<char> buffer(1 << 20);
    for (const std::string& name : files) {
        mix(&hash, name.c_str(), name.size() + 1);
        std::ifstream file(root / name, std::ios::binary);
        if (!file) return *why = "cannot read " + (root / name).string(), std::nullopt;
        while (file) {
            file.read(buffer.data(), static_cast<std::streamsize>(buffer.size()));
            mix(&hash, buffer.data(), static_cast<size_t>(file.gcount()));
        }
        if (file.bad()) return *why = "cannot read " + (root / name).string(), std::nullopt;
    }
    char text[17] = {};
    std::snprintf(text, sizeof text, "%016" PRIx64, hash);
    return std::string(text);
}
