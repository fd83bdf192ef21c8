// Process entry: the setup dialog, then the presentation window and the message loop.
//
// Returns -1 (status 255) when the dialog is cancelled, before any window or audio
// exists; otherwise the message loop ends the process. Without a display there is
// nothing to show, so it says so and ends with status 1.
#include "cpp/Demo.h"
#include "cpp/DisplaySettings.h"
#include "cpp/GLError.h"
#include "platform/SetupDialog.h"

#include <SDL.h>

#include <cstdio>

int main(int, char**) {
    setDefaultDisplaySettings(displaySettings);

    if (!platform::initDialogToolkit()) {
        std::fprintf(stderr, "Halvane needs a graphical display (is DISPLAY set?).\n");
        return 1;
    }
    if (SDL_Init(SDL_INIT_VIDEO) != 0) {
        std::fprintf(stderr, "Halvane could not start SDL video: %s\n", SDL_GetError());
        return 1;
    }
    if (!platform::runSetupDialog(displaySettings)) return -1;

    static Demo demo;
    demo.createWindow(displaySettings);
    checkGLError();
    demo.driver->runMessageLoop(demo);
}
