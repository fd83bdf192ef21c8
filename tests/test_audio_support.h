// Test MP3s made at test time with sox and lame, in a private temporary directory.
#pragma once

#include <string>

namespace audiotest {

// A fresh directory, removed with everything in it when the object goes away.
class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;
    const std::string& path() const { return _path; }
    std::string file(const std::string& name) const { return _path + "/" + name; }

private:
    std::string _path;
};

// A stereo sine of the given length and rate as a 128 kbit/s CBR MP3 with a LAME tag.
// Fails the calling test (fatally) when sox or lame are missing.
std::string makeSineMp3(const TempDir& dir, const std::string& name, double seconds, int rate);

void writeFile(const std::string& path, const std::string& bytes);

// Runs the enclosed code with the working directory set to dir.
class WorkingDirectory {
public:
    explicit WorkingDirectory(const std::string& dir);
    ~WorkingDirectory();

private:
    std::string _previous;
};

}  // namespace audiotest
