#include "JoinOptions.h"

#include <cstring>

bool isJoinCommand(int argc, char** argv) {
    for (int i = 1; i < argc; ++i)
        if (std::strcmp(argv[i], "--join") == 0) return true;
    return false;
}

bool parseJoinOptions(int argc, char** argv, JoinOptions* options, std::string* why) {
    for (int i = 1; i < argc; ++i) {
        const std::string word = argv[i];
        if (word == "--join") continue;
        if (word == "--dir" || word == "--out") {
            if (i + 1 >= argc) return *why = "missing value after " + word, false;
            (word == "--dir" ? options->dir : options->out) = argv[++i];
        } else if (word.size() > 1 && word[0] == '-') {
            return *why = "a join takes only --dir and --out besides its parts, not " + word, false;
        } else {
            options->parts.push_back(word);
        }
    }
    if (options->out.empty()) return *why = "no --out given", false;
    if (options->parts.size() < 2) return *why = "a join needs at least two parts", false;
    return true;
}
