// Process entry: the setup dialog, then the presentation window and the message loop.
//
// Returns -1 (status 255) when the dialog is cancelled, before any window or audio
// exists; otherwise the message loop ends the process (status 0 at the end of the
// music, on Escape and on closing the window). Without a display there is nothing to
// show, so it says so and ends with status 1. A loading or drawing error that nothing
// else handles is shown in a message box and ends the process with status 1, and so
// does a GL error pending once the window is up. Whichever
// way it ends after a fullscreen switch, the desktop gets its display mode back.
#include "cpp/Demo.h"
#include "cpp/DisplaySettings.h"
#include "cpp/GLError.h"
#include "platform/Bass.h"
#include "platform/ExitGuard.h"
#include "platform/RenderingProcess.h"
#include "platform/MessageBox.h"
#include "platform/SetupDialog.h"
#include "platform/Window.h"

#include <GL/glew.h>

#include <cstdio>
#include <cstdlib>
#include <exception>
#include <string>

int main(int, char** argv) {
    platform::prepareRenderingProcess(argv);
    platform::installExitGuard();
    setDefaultDisplaySettings(displaySettings);

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
    // Raises a GL error here, with the window visible, so tests can see how that ends.
    const char* glErrorHook = std::getenv("HALVANE_TEST_GL_ERROR_AFTER_WINDOW");
    if (glErrorHook != nullptr && *glErrorHook != '\0') glEnable(0);
    // The window is visible but nothing has been drawn: a GL error now means a broken
    // context, and the film would not show what it should.
    const std::string errors = collectGLErrors();
    if (!errors.empty()) {
        platform::showMessageBox(errors);
        BASS_Free();
        return 1;
    }
    try {
        demo.driver->runMessageLoop(demo);
    } catch (const std::exception& failure) {
        // A frame that cannot be drawn (a material texture missing from the model folder).
        demo.stopFrames();
        platform::showMessageBox(failure.what());
        BASS_Free();
        return 1;
    }
}
