// halvane-capture's command line.
//
//   halvane-capture [--dir RUNDIR] [--size WxH] [--fps N] [--from S] [--to S] [--crf Q] --out FILE.mp4
//   halvane-capture [--dir RUNDIR] [--size WxH] [--fps N] [--from S] [--to S] [--crf Q] --bench
//   halvane-capture --join [--dir RUNDIR] --out FILE.mp4 PART.mp4 PART.mp4 ...   (JoinOptions)
//
// Parsing checks what the command line alone can tell (known options, sizes, rates,
// from < to); whether the span lies within the music is known only once it is loaded.
#pragma once

#include <string>

struct CaptureOptions {
    std::string dir;  // empty: looked for (DataDirectory.h)
    std::string out;
    int width = 1280;
    int height = 720;
    int fps = 60;
    double from = 0.0;
    double to = -1.0;  // negative: the end of the music
    int crf = 18;      // x264's "visually lossless" level; 0 is lossless
    bool bench = false;
};

// False with the reason for a usage error.
bool parseCaptureOptions(int argc, char** argv, CaptureOptions* options, std::string* why);

extern const char* const kCaptureUsage;
