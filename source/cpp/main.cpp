// Process entry: the setup dialog, then the presentation window and the message loop.
//
// Returns -1 (status 255) when the dialog is cancelled, before any window or audio
// exists; otherwise the message loop ends the process (status 0 at the end of the
// music, on Escape and on closing the window). Without a display there is nothing to
// show, so it says so and ends with status 1. A loading or drawing error that nothing
// else handles is shown in a message box and ends the process with status 1. Whichever
// way it ends after a fullscreen switch, the desktop gets its display mode back.
// The film's files are looked for first (DataDirectory.h); when no place holds them the
// places are named on standard error and in a message box, status 1, display or not.
#include "cpp/Demo.h"
#include "cpp/DisplaySettings.h"
#include "cpp/GLError.h"
#include "cpp/StandardOptions.h"
#include "platform/Bass.h"
#include "platform/DataDirectory.h"
#include "platform/ExitGuard.h"
#include "platform/RenderingProcess.h"
#include "platform/MessageBox.h"
#include "platform/SetupDialog.h"
#include "platform/Window.h"

#include <cstdio>
#include <cstring>
#include <exception>
#include <string>

namespace {

const char* const kUsage =
    "usage: halvane [--print-data-dir | --help | --version]\n"
    "  plays the film: a dialog for the display settings, then the film to the end of its music\n"
    "  (Escape ends it). Its files (data/, shaders/, sync_*.track) are read from the first of:\n"
    "  the working directory, the program's directory, ../share/halvane beside the program.\n"
    "  --print-data-dir  prints the directory the film would be read from, and exits\n";

// The status to end with when the command line is all there is to do; -1 to play the film.
// Answered before anything else, so it needs no display and no files (the Windows
// program too, whose answer goes to the console it was started from).
int answerCommandLine(int argc, char** argv) {
    const int answered = answerHelpOrVersion(argc, argv, "halvane", kUsage);
    if (answered >= 0 || argc < 2) return answered;
    if (argc == 2 && std::strcmp(argv[1], "--print-data-dir") == 0) {
        const platform::DataDirectorySearch search = platform::findDataDirectory();
        if (search.found.empty()) {
            std::fprintf(stderr, "halvane: %s\n", platform::describeMissingDataDirectory(search).c_str());
            return 1;
        }
        std::printf("%s\n", search.found.c_str());
        return 0;
    }
    std::fprintf(stderr, "halvane: unknown option %s\n%s", argv[1], kUsage);
    return 2;
}

}  // namespace

int main(int argc, char** argv) {
    const int answered = answerCommandLine(argc, argv);
    if (answered >= 0) return answered;
    platform::prepareRenderingProcess(argv);
    platform::installExitGuard();
    setDefaultDisplaySettings(displaySettings);

    std::string why;
    if (!platform::enterDataDirectory(&why)) {
        platform::showMessageBox(why);
        return 1;
    }

    if (!platform::initDialogToolkit()) {
        std::fprintf(stderr, "Halvane needs a graphical display (is DISPLAY set?).\n");
        return 1;
    }
    if (!platform::Window::startVideo()) return 1;
    if (!platform::runSetupDialog(displaySettings)) return -1;

    // Never destroyed: the process ends with exit() and nothing is torn down on the way.
    Demo& demo = *new Demo;
    try {
        demo.createWindow(displaySettings);
    } catch (const std::exception& failure) {
        // A loading error (a missing credits image, an unusable shadow target, a model the
        // import rejects) would otherwise end the process without a word.
        platform::showMessageBox(failure.what());
        BASS_Free();
        return 1;
    }
    checkGLError();
    try {
        demo.driver->runMessageLoop(demo);
    } catch (const std::exception& failure) {
        // A frame that cannot be drawn (a material texture missing from the model folder).
        platform::showMessageBox(failure.what());
        BASS_Free();
        return 1;
    }
}
