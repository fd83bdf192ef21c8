// Where the film's files are: the directory that holds data/ and shaders/ (and the
// compiled sync_*.track files beside them), which every loader reads by relative path.
//
// The places are tried in this order, and the first that holds both directories wins:
//   1. the working directory (build/run, the unpacked Windows folder, a copy to edit);
//   2. the directory of the executable (a portable archive started from elsewhere);
//   3. ../share/halvane from the executable's directory (an installed package).
// The executable is found through the system (/proc/self/exe, GetModuleFileNameW), so a
// link to it in another directory still leads to its own files. Both directories rather
// than one file decide: a place laid out as the film's keeps its own missing or broken
// file as the error to report, instead of the film quietly playing from somewhere else.
#pragma once

#include <string>
#include <vector>

namespace platform {

struct DataDirectorySearch {
    std::vector<std::string> looked;  // every place in the order tried, absolute, each once
    std::string found;                // the first that holds the film's files; empty if none
};

DataDirectorySearch findDataDirectory();

// The directory of the running executable, absolute; empty if the system does not say.
std::string executableDirectory();

// "cannot find the film's files (data/ and shaders/) in any of:" and each place on a line.
std::string describeMissingDataDirectory(const DataDirectorySearch& search);

// Finds the film's files and makes their directory the working directory. False with
// the reason in *why when no place holds them or the directory cannot be entered.
bool enterDataDirectory(std::string* why);

}  // namespace platform
