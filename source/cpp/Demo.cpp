#include "cpp/Demo.h"

#include "cpp/Display.h"
#include "cpp/GLError.h"
#include "cpp/InitialGlState.h"
#include "cpp/LoadTimeline.h"
#include "cpp/Music.h"
#include "platform/Assert.h"
#include "platform/Bass.h"
#include "platform/MessageBox.h"
#include "platform/WindowGlLoader.h"

#include <GL/glew.h>

#include <cstdlib>
#include <utility>

Demo& Demo::createWindow(const DisplaySettings& settings) {
    LoadTimeline::instance().start();
    // Decodes while the window, its context and the scene are made.
    prepareMusic();
    screenWidth = settings.width;
    screenHeight = settings.height;
    _modeWidth = settings.width;
    _modeHeight = settings.height;
    multisampling = settings.multisampling;
    vsync = settings.vsync;
    fullscreen = settings.fullscreen;

    if (fullscreen && !platform::Window::displayOffersMode(screenWidth, screenHeight)) {
        platform::showMessageBox("Failed to set full screen mode.");
        std::exit(1);
    }
    platform::WindowHandlers handlers;
    handlers.created = [this] { onCreate(); };
    handlers.message = [this](const platform::WindowEvent& event) { handleMessage(event); };
    switch (window.create("Vostrel", screenWidth, screenHeight, fullscreen, std::move(handlers))) {
        case platform::Window::CreateResult::Created:
            break;
        case platform::Window::CreateResult::NoPixelFormat:
            platform::showMessageBox("Couldn't set pixel format.");
            std::exit(1);
        case platform::Window::CreateResult::NoWindow:
            platform::showMessageBox("Couldn't create window.");
            std::exit(1);
        case platform::Window::CreateResult::FullscreenRefused:
            platform::showMessageBox("Failed to set full screen mode.");
            std::exit(1);
    }
    return *this;
}

void Demo::onCreate() {
    if (!window.createCoreContext()) {
        platform::showMessageBox("Couldn't create context.");
        std::exit(1);
    }
    bool s = window.makeCurrent();
    HV_ASSERT_AT(s, "s", "source\\cpp\\Demo", 93);
    bool glewLoaded = platform::initialiseGlew();
    checkGLError();
    if (!glewLoaded) {
        platform::showMessageBox("GLEW failed to initialize.");
        std::exit(1);
    }

    window.setSwapInterval(vsync ? 1 : 0);
    checkGLError();

    // A window clamped to the screen is smaller than asked: load at the size it has.
    followDrawable();
    setInitialGlState(screenWidth, screenHeight);
    LoadTimeline::instance().mark("window, GL context");

    // Loads shaders, model, textures, music and tracks; the window stays hidden meanwhile.
    driver = std::make_unique<PresentationDriver>();
    window.show();
    LoadTimeline::instance().mark("show the window");
    // The display switches when the window is shown; one that accepted the mode in its
    // list but refuses the switch would leave the image in a corner of the old mode.
    if (fullscreen && !window.displayShowsMode(_modeWidth, _modeHeight)) {
        platform::showMessageBox("Failed to set full screen mode.");
        BASS_Free();
        std::exit(1);
    }
    window.allowResizing();
    followDrawable();
}

void Demo::followDrawable() {
    int width = 0, height = 0;
    window.drawableSize(&width, &height);
    // Minimised or not yet mapped: nothing to follow.
    if (width <= 0 || height <= 0 || (width == screenWidth && height == screenHeight)) return;
    screenWidth = width;
    screenHeight = height;
    if (driver) driver->resize();
    glViewport(0, 0, screenWidth, screenHeight);
}

void Demo::handleMessage(const platform::WindowEvent& event) {
    if (event.kind == platform::WindowEvent::Resized && driver) followDrawable();
    if (event.kind == platform::WindowEvent::Paint && _framesDue) paint();
    if (event.kind == platform::WindowEvent::Close ||
        (event.kind == platform::WindowEvent::KeyDown && event.key == platform::kEscapeKey)) {
        BASS_Free();
        std::exit(0);
    }
}

void Demo::paint() {
    driver->renderFrame();
    window.swap();
    LoadTimeline& timeline = LoadTimeline::instance();
    if (!timeline.running()) return;
    const char* report = std::getenv("HALVANE_LOAD_REPORT");
    if (report == nullptr || *report == '\0') {
        timeline.finish("first frame");
        return;
    }
    // Presented means drawn: wait for GL before reading the clock.
    glFinish();
    timeline.finish("first frame");
    timeline.print(stderr);
}
