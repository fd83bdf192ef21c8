// The application object: the presentation window, its GL context and the driver.
//
// createWindow() copies the settings into the process-wide display values, switches
// the display for fullscreen (a refused mode ends the process with status 1, as does
// every failure to make the window, its context or GLEW, after its message), builds
// the 4.3 core context, sets the initial GL state, creates the driver (which loads
// everything) and only then shows the window, all from the window's creation
// handler. The drawable's real size wins over the one asked for: after the context
// is made, after the window is shown and whenever it is resized, screenWidth and
// screenHeight, the G-buffer, every screen-sized target, the viewport and the
// aspect follow it. handleMessage() paints on a paint request and ends the process on
// Escape and when the window is closed; paint() renders one frame and swaps, but
// only once the music plays (startFrames()) and until stopFrames(): a message box
// shown while the window is visible pumps paint requests of its own, and a frame
// then must neither draw before the music nor end the process as if it had ended.
// Loading is timed from createWindow() to the first swap (LoadTimeline); with
// HALVANE_LOAD_REPORT set in the environment the first paint waits for GL to finish
// that frame and prints where the time went on standard error.
// One instance lives for the whole process and is never torn down.
#pragma once

#include "cpp/DisplaySettings.h"
#include "cpp/PresentationDriver.h"
#include "platform/Window.h"

#include <memory>

class Demo {
public:
    Demo& createWindow(const DisplaySettings& settings);

    void handleMessage(const platform::WindowEvent& event);
    void paint();
    // Reads the drawable's size and makes everything screen-sized follow it.
    void followDrawable();
    void startFrames() { _framesDue = true; }
    void stopFrames() { _framesDue = false; }

    std::unique_ptr<PresentationDriver> driver;
    platform::Window window;

private:
    // What the window's creation used to do: context, GL state, driver, show.
    void onCreate();

    bool _framesDue = false;
    int _modeWidth = 0;  // the size asked for, which a fullscreen display must show
    int _modeHeight = 0;
};
