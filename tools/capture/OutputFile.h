// The output written under a temporary name beside its final one.
//
// create() makes a hidden, uniquely named file in the output's directory (so the
// final rename stays on one file system and is atomic); commit() renames it to the
// output's name. Until then nothing exists under that name: a failed, interrupted
// or exit()-ended run removes the temporary file (on destruction, or at exit).
#pragma once

#include <string>

class OutputFile {
public:
    explicit OutputFile(std::string path) : _path(std::move(path)) {}
    ~OutputFile();
    OutputFile(const OutputFile&) = delete;
    OutputFile& operator=(const OutputFile&) = delete;

    // Whether the output's directory exists and is writable, and the output is not a directory.
    bool checkWritable(std::string* why) const;
    bool create(std::string* why);
    bool commit(std::string* why);
    void discard();

    const std::string& temporaryPath() const { return _temporary; }
    const std::string& path() const { return _path; }

private:
    std::string _path;
    std::string _temporary;
};
