// A file of our own under $TMPDIR (or /tmp) that a fuzz check rewrites for every input,
// so loaders that take a path read the bytes exactly as they read content from disk.
//
// Contract: the file exists from construction to destruction and keeps `suffix` (the
// model importer chooses its reader by extension, as it does for the film's model).
// write() replaces the whole content and returns false when the disk refuses it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace fuzz {

class ScratchFile {
public:
    explicit ScratchFile(const std::string& suffix);
    ~ScratchFile();
    ScratchFile(const ScratchFile&) = delete;
    ScratchFile& operator=(const ScratchFile&) = delete;

    bool write(const uint8_t* data, size_t size);
    const std::string& path() const { return _path; }

private:
    std::string _path;
};

}  // namespace fuzz
