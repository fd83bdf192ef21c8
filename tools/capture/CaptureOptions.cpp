#include "CaptureOptions.h"

#include <cstdio>
#include <cstdlib>

const char* const kCaptureUsage =
    "usage: halvane-capture [--dir RUNDIR] [--size WxH] [--fps N] [--from S] [--to S] [--crf Q] --out FILE.mp4\n"
    "       halvane-capture [--dir RUNDIR] [--size WxH] [--fps N] [--from S] [--to S] [--crf Q] --bench\n"
    "       halvane-capture --join [--dir RUNDIR] --out FILE.mp4 PART.mp4 PART.mp4 ...\n"
    "  defaults: the whole film, 1280x720, 60 fps, --crf 18 (visually lossless); --crf 0 is lossless\n"
    "  --join: parts captured with the same settings, each starting where the one before ends, into one file;\n"
    "  the video is copied, the music encoded once for the whole span from RUNDIR\n"
    "  without --dir, the film's files are taken from the first of the working directory,\n"
    "  the program's directory and ../share/halvane beside it\n";

namespace {

bool parseSeconds(const char* text, double* out) {
    char* end = nullptr;
    double value = std::strtod(text, &end);
    if (end == text || *end != '\0' || !(value >= 0.0) || value > 1e6) return false;
    *out = value;
    return true;
}

bool parseInteger(const char* text, int low, int high, int* out) {
    char* end = nullptr;
    long value = std::strtol(text, &end, 10);
    if (end == text || *end != '\0' || value < low || value > high) return false;
    *out = static_cast<int>(value);
    return true;
}

}  // namespace

bool parseCaptureOptions(int argc, char** argv, CaptureOptions* options, std::string* why) {
    for (int i = 1; i < argc; ++i) {
        std::string flag = argv[i];
        if (flag == "--bench") {
            options->bench = true;
            continue;
        }
        if (flag != "--dir" && flag != "--out" && flag != "--size" && flag != "--fps" && flag != "--from" &&
            flag != "--to" && flag != "--crf")
            return *why = "unknown option " + flag, false;
        if (i + 1 >= argc) return *why = "missing value after " + flag, false;
        const std::string value = argv[++i];
        if (flag == "--dir") {
            options->dir = value;
        } else if (flag == "--out") {
            options->out = value;
        } else if (flag == "--size") {
            char tail = '\0';
            if (std::sscanf(value.c_str(), "%dx%d%c", &options->width, &options->height, &tail) != 2 ||
                options->width < 16 || options->height < 16 || options->width > 4096 || options->height > 4096 ||
                options->width % 2 != 0 || options->height % 2 != 0)
                return *why = "bad size '" + value + "' (WxH, even, 16..4096)", false;
        } else if (flag == "--fps") {
            if (!parseInteger(value.c_str(), 1, 240, &options->fps))
                return *why = "bad frame rate '" + value + "' (a whole number, 1..240)", false;
        } else if (flag == "--crf") {
            if (!parseInteger(value.c_str(), 0, 51, &options->crf))
                return *why = "bad quality '" + value + "' (--crf 0..51, 0 lossless)", false;
        } else {
            double seconds = 0.0;
            if (!parseSeconds(value.c_str(), &seconds)) return *why = "bad time '" + value + "' for " + flag, false;
            (flag == "--from" ? options->from : options->to) = seconds;
        }
    }
    if (options->out.empty() && !options->bench) return *why = "no --out given", false;
    if (!options->out.empty() && options->bench) return *why = "--bench writes no file; leave out --out", false;
    if (options->to >= 0.0 && options->from >= options->to) return *why = "--from must be before --to", false;
    return true;
}
