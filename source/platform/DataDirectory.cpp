#include "platform/DataDirectory.h"

#include <filesystem>
#include <system_error>

#ifdef _WIN32
#include <windows.h>
#endif

namespace fs = std::filesystem;

namespace platform {

namespace {

bool holdsFilm(const fs::path& dir) {
    std::error_code error;
    return fs::is_directory(dir / "data", error) && fs::is_directory(dir / "shaders", error);
}

std::string display(const fs::path& path) {
    // lexically_normal turns bin/../share/halvane into share/halvane; the text is UTF-8 on every system.
    return path.lexically_normal().u8string();
}

}  // namespace

std::string executableDirectory() {
#ifdef _WIN32
    std::wstring buffer(MAX_PATH, L'\0');
    for (;;) {
        const DWORD length = GetModuleFileNameW(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
        if (length == 0) return "";
        if (length < buffer.size()) {
            buffer.resize(length);
            break;
        }
        buffer.resize(buffer.size() * 2);
    }
    const fs::path executable(buffer);
#else
    std::error_code error;
    const fs::path executable = fs::read_symlink("/proc/self/exe", error);
    if (error) return "";
#endif
    return display(executable.parent_path());
}

DataDirectorySearch findDataDirectory() {
    DataDirectorySearch search;
    std::error_code error;
    std::vector<fs::path> places;
    const fs::path working = fs::current_path(error);
    places.push_back(error ? fs::path(".") : working);
    const std::string executable = executableDirectory();
    if (!executable.empty()) {
        const fs::path beside = fs::u8path(executable);
        places.push_back(beside);
        places.push_back(beside / ".." / "share" / "halvane");
    }
    for (const fs::path& place : places) {
        const std::string name = display(place);
        bool seen = false;
        for (const std::string& before : search.looked) seen = seen || before == name;
        if (seen) continue;
        search.looked.push_back(name);
        if (search.found.empty() && holdsFilm(place)) search.found = name;
    }
    return search;
}

std::string describeMissingDataDirectory(const DataDirectorySearch& search) {
    std::string text = "cannot find the film's files (data/ and shaders/) in any of:";
    for (const std::string& place : search.looked) text += "\n  " + place;
    return text;
}

bool enterDataDirectory(std::string* why) {
    const DataDirectorySearch search = findDataDirectory();
    if (search.found.empty()) {
        *why = describeMissingDataDirectory(search);
        return false;
    }
    std::error_code error;
    fs::current_path(fs::u8path(search.found), error);
    if (error) {
        *why = "cannot enter " + search.found + ": " + error.message();
        return false;
    }
    return true;
}

}  // namespace platform
