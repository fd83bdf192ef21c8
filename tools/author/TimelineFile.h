// The timeline file as the authoring tool writes it: keys in, undo and redo, each a
// safe save (a temporary file in the same folder renamed over the old one, with the
// old one's permissions), so a reader never sees half a file and a failed save leaves
// the old one whole.
//
// Contract: writeKeys() reads the file as it is now, writes the keys into its text
// (see KeyWriter.h) and saves it; undo() and redo() save the exact bytes from before
// and after a write, up to `depth` writes back. Nothing is saved, and *error says why,
// when the file cannot be read (deleted), is read-only (no write permission bit, even
// for root), does not compile, or has been changed by someone else since the write
// being undone or redone (that edit would be lost). A new write clears what could be
// redone.
#pragma once

#include "KeyWriter.h"

#include <cstddef>
#include <string>
#include <vector>

class TimelineFile {
public:
    explicit TimelineFile(std::string path, size_t depth = 64) : _path(std::move(path)), _depth(depth) {}

    // `label` names the write for undo() and redo() to give back.
    bool writeKeys(const std::vector<keys::Key>& keys, const std::string& label, std::string* error);
    bool undo(std::string* error, std::string* label = nullptr);
    bool redo(std::string* error, std::string* label = nullptr);
    bool canUndo() const { return !_undo.empty(); }
    bool canRedo() const { return !_redo.empty(); }

    // False with *error when the file cannot be read.
    bool read(std::string* text, std::string* error) const;
    const std::string& path() const { return _path; }

private:
    struct Step {
        std::string before;
        std::string after;
        std::string label;
    };
    bool save(const std::string& text, std::string* error) const;
    bool unchangedSince(const std::string& expected, std::string* error) const;

    std::string _path;
    size_t _depth = 64;
    std::vector<Step> _undo;  // the latest last
    std::vector<Step> _redo;
};
