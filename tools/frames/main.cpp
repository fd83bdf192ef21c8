// halvane-frames: renders frames of the film without a window and without sound.
//
//   halvane-frames [--dir RUNDIR] [--size WxH] --time T [--time T...] --out DIR
//   halvane-frames [--dir RUNDIR] [--size WxH] [--step SECONDS] --bench N --time T   (timing only)
//   --without PASS leaves out "tree", "shadow", "credits" or "bloom" (repeatable)
//   --load-report  after the first frame, prints on stderr where the time went from the start of
//                  loading (before the GL context) until GL had drawn that frame (LoadTimeline)
//
// The same driver, scene and passes as the program, on an EGL pbuffer, with a music
// clock we set (FilmRenderer, shared with halvane-capture). The branches step by film
// time from 0 without a catch-up bound, so a frame at T is the same on every run and
// whatever other times the run renders.
// Frames are written as DIR/frame_<T>.png. Without --dir the film's files are looked
// for where the program looks for them (DataDirectory.h).
// Exit status: 0 done, 1 after any failure (its message on stderr; no message box is
// shown, so a script never waits on one), 2 for a usage error.
#include "FilmRenderer.h"
#include "FrameTimer.h"
#include "PngWriter.h"

#include "cpp/LoadTimeline.h"
#include "cpp/StandardOptions.h"
#include "platform/DataDirectory.h"
#include "platform/RenderingProcess.h"
#include "platform/MessageBox.h"

#include "scenes/TestGeometry.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <filesystem>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

struct Options {
    std::string dir;  // empty: looked for
    std::string out;
    int width = 640;
    int height = 400;
    double step = 1.0 / 60.0;
    int bench = 0;
    std::vector<double> times;
    std::vector<std::string> without;
    bool loadReport = false;
};

const char* const kUsage =
    "usage: halvane-frames [--dir RUNDIR] [--size WxH] [--step SECONDS] [--without PASS]\n"
    "                      --time T [--time T...] --out DIR\n"
    "       halvane-frames [--dir RUNDIR] [--size WxH] --bench N --time T\n"
    "       --load-report (with either) prints where loading spent its time\n"
    "       without --dir, the film's files are taken from the first of the working directory,\n"
    "       the program's directory and ../share/halvane beside it\n";

int usage(const char* why) {
    std::fprintf(stderr, "halvane-frames: %s\n%s", why, kUsage);
    return 2;
}

bool parseNumber(const char* text, double* out) {
    char* end = nullptr;
    double value = std::strtod(text, &end);
    if (end == text || *end != '\0' || !(value >= 0.0) || value > 1e6) return false;
    *out = value;
    return true;
}

bool parseOptions(int argc, char** argv, Options* options, std::string* why) {
    for (int i = 1; i < argc; ++i) {
        std::string flag = argv[i];
        if (flag == "--load-report") {
            options->loadReport = true;
            continue;
        }
        if (i + 1 >= argc) return *why = "missing value after " + flag, false;
        const char* value = argv[++i];
        double number = 0.0;
        if (flag == "--dir") {
            options->dir = value;
        } else if (flag == "--out") {
            options->out = value;
        } else if (flag == "--size") {
            if (std::sscanf(value, "%dx%d", &options->width, &options->height) != 2 || options->width < 16 ||
                options->height < 16 || options->width > 4096 || options->height > 4096)
                return *why = std::string("bad size '") + value + "' (WxH, 16..4096)", false;
        } else if (flag == "--time") {
            if (!parseNumber(value, &number)) return *why = std::string("bad time '") + value + "'", false;
            options->times.push_back(number);
        } else if (flag == "--step") {
            if (!parseNumber(value, &number) || number < 1e-4 || number > 1.0)
                return *why = std::string("bad step '") + value + "'", false;
            options->step = number;
        } else if (flag == "--without") {
            options->without.push_back(value);
        } else if (flag == "--bench") {
            if (!parseNumber(value, &number) || number < 1) return *why = std::string("bad count '") + value + "'", false;
            options->bench = static_cast<int>(number);
        } else {
            return *why = "unknown option " + flag, false;
        }
    }
    if (options->times.empty()) return *why = "no --time given", false;
    if (options->bench == 0 && options->out.empty()) return *why = "no --out given", false;
    std::sort(options->times.begin(), options->times.end());
    return true;
}

int renderFrames(int argc, char** argv) {
    Options options;
    std::string why;
    if (!parseOptions(argc, argv, &options, &why)) return usage(why.c_str());
    // --out names a place from where we were started, not from the run directory.
    if (!options.out.empty()) options.out = std::filesystem::absolute(options.out).string();
    if (options.dir.empty()) {
        if (!platform::enterDataDirectory(&why)) {
            std::fprintf(stderr, "halvane-frames: %s\n", why.c_str());
            return 1;
        }
    } else if (chdir(options.dir.c_str()) != 0) {
        std::fprintf(stderr, "halvane-frames: cannot enter %s\n", options.dir.c_str());
        return 1;
    }
    if (!options.out.empty()) std::filesystem::create_directories(options.out);

    FilmRenderer renderer;
    if (!renderer.open(options.width, options.height, &why)) {
        std::fprintf(stderr, "halvane-frames: %s\n", why.c_str());
        return 1;
    }
    TestGeometry* scene = &renderer.scene();
    for (const std::string& pass : options.without) {
        if (!scene->disablePass(pass)) return usage(("unknown pass '" + pass + "'").c_str());
    }
    std::fprintf(stderr, "loaded in %.3f s\n", renderer.loadSeconds());

    // The film ends with its music: a time past the end has no frame.
    if (!renderer.hasFrameAt(options.times.back())) {
        std::fprintf(stderr, "halvane-frames: %.3f s is past the end of the music\n", options.times.back());
        return 1;
    }

    for (double target : options.times) {
        if (options.bench > 0) {
            // Not timed: the first frame closes the load timeline.
            renderer.renderAt(target);
            if (options.loadReport) LoadTimeline::instance().print(stderr);
            FrameTimer timer;
            runBenchmark(renderer.driver(), *scene, target, options.step, options.bench, &timer);
            timer.print(stdout, options.width, options.height);
            return 0;
        }
        renderer.renderAt(target);
        if (options.loadReport && target == options.times.front()) LoadTimeline::instance().print(stderr);
        char name[64];
        std::snprintf(name, sizeof name, "frame_%08.3f.png", target);
        std::string path = options.out + "/" + name;
        if (!writeFramebufferPng(path, options.width, options.height)) {
            std::fprintf(stderr, "halvane-frames: cannot write %s\n", path.c_str());
            return 1;
        }
        std::printf("%s\n", path.c_str());
        std::fflush(stdout);
    }
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    const int answered = answerHelpOrVersion(argc, argv, "halvane-frames", kUsage);
    if (answered >= 0) return answered;
    platform::prepareRenderingProcess(argv);
    // The scene's failures (a missing file, a broken shader) go to stderr, never to a box.
    platform::setMessageBoxHook([](const std::string&) {});
    try {
        return renderFrames(argc, argv);
    } catch (const std::exception& failure) {
        std::fprintf(stderr, "halvane-frames: %s\n", failure.what());
        return 1;
    }
}
