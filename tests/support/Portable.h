// What the tests need from the operating system, the same on Linux and in the
// Windows build (which runs its tests under Wine): scratch directories, the
// command line that starts a program built beside the tests, the null device,
// and a child program's exit status.
#pragma once

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <random>
#include <string>
#include <system_error>

#ifndef _WIN32
#include <sys/wait.h>
#endif

namespace hvtest {

// A new, empty directory under the system's temporary directory; "" when none could be made.
inline std::string makeScratchDir(const std::string& stem) {
    namespace fs = std::filesystem;
    std::error_code error;
    const fs::path base = fs::temp_directory_path(error);
    if (error) return std::string();
    std::mt19937_64 random(
        static_cast<unsigned long long>(std::chrono::steady_clock::now().time_since_epoch().count()));
    for (int attempt = 0; attempt < 100; ++attempt) {
        const fs::path candidate = base / (stem + "_" + std::to_string(random() % 1000000000ULL));
        if (fs::create_directory(candidate, error) && !error) return candidate.string();
    }
    return std::string();
}

inline void removeTree(const std::string& path) {
    std::error_code ignored;
    if (!path.empty()) std::filesystem::remove_all(path, ignored);
}

// The command that starts the program at `path` (a build-tree path, '/'-separated):
// Windows' command interpreter wants backslashes.
inline std::string programCommand(std::string path) {
#ifdef _WIN32
    for (char& c : path)
        if (c == '/') c = '\\';
#endif
    return path;
}

#ifdef _WIN32
constexpr const char* kNullDevice = "NUL";
#else
constexpr const char* kNullDevice = "/dev/null";
#endif

// One decimal digit in a death test's expected-output pattern: GoogleTest reads
// POSIX extended expressions on Linux and its own simple ones on Windows.
#ifdef _WIN32
#define HV_REGEX_DIGIT "\\d"
#else
#define HV_REGEX_DIGIT "[0-9]"
#endif

// The exit status from pclose()'s result; -1 when the program did not end normally.
inline int exitStatus(int pcloseResult) {
#ifdef _WIN32
    return pcloseResult;
#else
    return WIFEXITED(pcloseResult) ? WEXITSTATUS(pcloseResult) : -1;
#endif
}

}  // namespace hvtest
