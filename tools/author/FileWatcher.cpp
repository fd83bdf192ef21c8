#include "FileWatcher.h"

#include <sys/inotify.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

FileWatcher::FileWatcher() : _fd(inotify_init1(IN_NONBLOCK | IN_CLOEXEC)) {}

FileWatcher::~FileWatcher() {
    if (_fd >= 0) close(_fd);
}

bool FileWatcher::watch(const std::string& directory, std::string* error) {
    if (_fd < 0) return *error = std::string("inotify: ") + std::strerror(errno), false;
    const int wd = inotify_add_watch(_fd, directory.c_str(), IN_CLOSE_WRITE | IN_MOVED_TO);
    if (wd < 0) return *error = "cannot watch " + directory + ": " + std::strerror(errno), false;
    _directories[wd] = directory;
    return true;
}

std::vector<std::string> FileWatcher::changes() {
    std::vector<std::string> paths;
    if (_fd < 0) return paths;
    alignas(inotify_event) char buffer[16 * 1024];
    for (;;) {
        const ssize_t length = read(_fd, buffer, sizeof buffer);
        if (length <= 0) break;  // EAGAIN: nothing more pending
        for (ssize_t offset = 0; offset < length;) {
            const auto* event = reinterpret_cast<const inotify_event*>(buffer + offset);
            offset += static_cast<ssize_t>(sizeof(inotify_event) + event->len);
            auto directory = _directories.find(event->wd);
            if (directory == _directories.end() || event->len == 0 || (event->mask & IN_ISDIR)) continue;
            const std::string path = directory->second + "/" + event->name;
            if (std::find(paths.begin(), paths.end(), path) == paths.end()) paths.push_back(path);
        }
    }
    return paths;
}
