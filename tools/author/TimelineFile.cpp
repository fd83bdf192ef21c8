#include "TimelineFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <iterator>

bool TimelineFile::read(std::string* text, std::string* error) const {
    struct stat info {};
    if (stat(_path.c_str(), &info) != 0) return *error = _path + " is gone: nothing written", false;
    std::ifstream file(_path, std::ios::binary);
    if (!file) return *error = _path + " cannot be read: nothing written", false;
    text->assign(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
    if (file.bad()) return *error = _path + " cannot be read: nothing written", false;
    return true;
}

bool TimelineFile::save(const std::string& text, std::string* error) const {
    struct stat info {};
    if (stat(_path.c_str(), &info) != 0) return *error = _path + " is gone: nothing written", false;
    // Root may write anything; a file without write permission is still meant to stay as it is.
    if ((info.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0 || access(_path.c_str(), W_OK) != 0)
        return *error = _path + " is read-only: nothing written", false;

    const size_t slash = _path.rfind('/');
    const std::string folder = slash == std::string::npos ? "." : _path.substr(0, slash);
    const std::string name = slash == std::string::npos ? _path : _path.substr(slash + 1);
    std::string temporary = folder + "/." + name + ".XXXXXX";
    const int fd = mkstemp(temporary.data());
    if (fd < 0)
        return *error = "cannot write in " + folder + ": " + std::strerror(errno) + ": nothing written",
               false;
    bool ok = fchmod(fd, info.st_mode & 07777) == 0;
    for (size_t done = 0; ok && done < text.size();) {
        const ssize_t wrote = ::write(fd, text.data() + done, text.size() - done);
        if (wrote < 0 && errno == EINTR) continue;
        ok = wrote > 0;
        if (ok) done += static_cast<size_t>(wrote);
    }
    ok = ok && fsync(fd) == 0;
    const int saved = errno;
    ok = close(fd) == 0 && ok;
    if (ok && std::rename(temporary.c_str(), _path.c_str()) == 0) return true;
    *error = "cannot save " + _path + ": " + std::strerror(ok ? errno : saved) + ": nothing written";
    unlink(temporary.c_str());
    return false;
}

bool TimelineFile::unchangedSince(const std::string& expected, std::string* error) const {
    std::string now;
    if (!read(&now, error)) return false;
    if (now == expected) return true;
    *error = _path + " was changed since: saving the old text would lose that edit; nothing written";
    return false;
}

bool TimelineFile::writeKeys(const std::vector<keys::Key>& keys, const std::string& label,
                             std::string* error) {
    Step step;
    step.label = label;
    if (!read(&step.before, error)) return false;
    std::string why;
    if (!keys::writeKeys(step.before, keys, _path, &step.after, &why)) {
        *error = why + " (nothing written)";
        return false;
    }
    if (!save(step.after, error)) return false;
    _undo.push_back(std::move(step));
    if (_undo.size() > _depth) _undo.erase(_undo.begin());
    _redo.clear();
    return true;
}

bool TimelineFile::undo(std::string* error, std::string* label) {
    if (_undo.empty()) return *error = "nothing to undo", false;
    const Step& step = _undo.back();
    if (!unchangedSince(step.after, error) || !save(step.before, error)) return false;
    if (label != nullptr) *label = step.label;
    _redo.push_back(std::move(_undo.back()));
    _undo.pop_back();
    return true;
}

bool TimelineFile::redo(std::string* error, std::string* label) {
    if (_redo.empty()) return *error = "nothing to redo", false;
    const Step& step = _redo.back();
    if (!unchangedSince(step.before, error) || !save(step.after, error)) return false;
    if (label != nullptr) *label = step.label;
    _undo.push_back(std::move(_redo.back()));
    _redo.pop_back();
    return true;
}
