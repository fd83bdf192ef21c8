// halvane-capture's command line when it joins parts:
//
//   halvane-capture --join [--dir RUNDIR] --out FILE.mp4 PART.mp4 PART.mp4 ...
//
// The parts come in film order. Size, rate and quality are the parts' own, so the
// options that set them for a capture are usage errors here.
#pragma once

#include <string>
#include <vector>

struct JoinOptions {
    std::string dir;  // empty: looked for (DataDirectory.h)
    std::string out;
    std::vector<std::string> parts;
};

// Whether the command line asks for a join.
bool isJoinCommand(int argc, char** argv);

// False with the reason for a usage error.
bool parseJoinOptions(int argc, char** argv, JoinOptions* options, std::string* why);
