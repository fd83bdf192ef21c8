// halvane-author: the film for the people who make it. Plays it in a window with its
// music from the repository's root, with a transport on the keyboard, live reload of
// the timeline, shaders and textures as they are saved, an overlay and a log.
//
//   halvane-author [--size WxH] [--at SECONDS]
//
// Exit status: 0 on Escape or closing the window, 1 when it cannot start, 2 for a bad
// command line.
#include "AuthorSession.h"
#include "Options.h"

#include "cpp/StandardOptions.h"
#include "platform/Bass.h"
#include "platform/RenderingProcess.h"

#include <cstdio>
#include <exception>
#include <string>

namespace {

const char* const kUsage =
    "usage: halvane-author [--size WxH] [--at SECONDS]   (run from the repository's root)\n"
    "keys: Space pause/play, Left/Right one bar (Shift: eight), Home start,\n"
    "      [ ] loop start/end on the current bar, Backspace clear loop,\n"
    "      Tab overlay, F2 track values, Escape quit\n";

}  // namespace

int main(int argc, char** argv) {
    const int answered = answerHelpOrVersion(argc, argv, "halvane-author", kUsage);
    if (answered >= 0) return answered;
    // The film plays as fast as the live program plays it.
    platform::prepareRenderingProcess(argv);
    AuthorOptions options;
    std::string why;
    if (!parseAuthorOptions(argc, argv, &options, &why)) {
        if (!why.empty()) std::fprintf(stderr, "halvane-author: %s\n", why.c_str());
        std::fputs(kUsage, why.empty() ? stdout : stderr);
        return why.empty() ? 0 : 2;
    }
    try {
        // Never destroyed: the session ends the process itself.
        AuthorSession& session = *new AuthorSession(options);
        session.run();
    } catch (const std::exception& failure) {
        std::fprintf(stderr, "halvane-author: %s\n", failure.what());
        BASS_Free();
        return 1;
    }
}
