// Tells which files in a few directories were saved, through inotify.
//
// Contract: watch() adds a directory (relative to the working directory); changes()
// returns, without waiting, the paths ("shaders/lighting.fp") of files written and
// closed or moved into a watched directory since the last call, each once, in the
// order first seen. Editors that save by writing a new file and renaming it over the
// old one are seen through the rename. Nothing is read per frame but the event queue.
#pragma once

#include <map>
#include <string>
#include <vector>

class FileWatcher {
public:
    FileWatcher();
    ~FileWatcher();
    FileWatcher(const FileWatcher&) = delete;
    FileWatcher& operator=(const FileWatcher&) = delete;

    // False (with *error) when the directory cannot be watched.
    bool watch(const std::string& directory, std::string* error);
    std::vector<std::string> changes();

private:
    int _fd = -1;
    std::map<int, std::string> _directories;  // watch descriptor -> directory
};
