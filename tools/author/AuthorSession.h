// One authoring session: the film in a window with its music, the transport on the
// keyboard, live reload of what the authors save, the overlay and the log.
//
// Contract: run from the repository's root; the constructor opens the window, compiles
// timeline/halvane.timeline in-process, loads the film through the program's own
// driver and scene from data/ and shaders/ there, and shows the window at the start
// time. It throws std::runtime_error when any of that fails. run() never returns: the
// process ends with status 0 on Escape or when the window is closed.
//
// Keys: Space pause/play; Left/Right one bar, with Shift eight; Home the start; [ and ]
// the loop's start and end on the current bar; Backspace clears the loop; Tab the
// overlay; F2 the tracks' values in it. Every transport action and reload is one line
// on standard output; a failed reload keeps what was there, goes to standard error and
// stays on screen until that file reloads successfully.
//
// Authoring keys: F flies the camera, L moves the light, B the branches' bunch (each
// again to leave it, which gives back the film's own values); W/A/S/D/Q/E move what the
// last mode turned on controls, Shift faster; Ctrl+arrows or the mouse with the left
// button held turn the flown camera. Return writes that mode's tracks as keys at the
// current row into the timeline (the live reload then picks the file up); Ctrl+Z and
// Ctrl+Y undo and redo those writes. F3 shows one track's curve along the bottom,
// Up/Down choose it. A write that cannot be made says why on screen and on standard
// error and leaves the file as it was.
#pragma once

#include "BarGrid.h"
#include "BassClock.h"
#include "CurveStrip.h"
#include "EditModes.h"
#include "FileWatcher.h"
#include "MotionSnapshots.h"
#include "Options.h"
#include "Overlay.h"
#include "TimelineFile.h"
#include "Transport.h"

#include "cpp/PresentationDriver.h"
#include "cpp/ShaderReloader.h"
#include "platform/Window.h"
#include "scenes/TestGeometry.h"

#include <chrono>
#include <map>
#include <memory>
#include <string>
#include <vector>

class AuthorSession {
public:
    static constexpr const char* kTimelinePath = "timeline/halvane.timeline";

    explicit AuthorSession(const AuthorOptions& options);
    [[noreturn]] void run();

private:
    void openWindow();
    void loadFilm();
    void handleKey(const platform::WindowEvent& event);
    void handleChanges();
    void reloadTimeline();
    bool applyTracks(const synctrack::Timeline& timeline, std::string* error);
    bool handleAuthoringKey(const platform::WindowEvent& event);
    void toggleMode(EditModes::Mode mode);
    void previewBunch();
    void writeKeys();
    void undoOrRedo(bool undo);
    void refused(const std::string& what, const std::string& why);
    void turnWithMouse();
    double filmValue(const std::string& track) const;
    CameraPose filmCamera() const;
    int currentRow() const;
    void reloadShader(const std::string& path, const std::string& fileName);
    void reloadTexture(const std::string& path, const std::string& name);
    void succeeded(const std::string& file, const std::string& what);
    void failed(const std::string& file, const std::string& why);
    void drawFrame();
    std::vector<Overlay::Line> overlayLines();
    art::Image curvePicture();
    void log(const std::string& line);
    [[noreturn]] void quit();

    AuthorOptions _options;
    platform::Window _window;
    std::unique_ptr<PresentationDriver> _driver;
    TestGeometry* _scene = nullptr;
    synctrack::Timeline _timeline;
    std::string _timelineText;  // the text _timeline was compiled from
    std::unique_ptr<BassClock> _clock;
    std::unique_ptr<Transport> _transport;
    std::unique_ptr<MotionSnapshots> _snapshots;
    std::unique_ptr<Overlay> _overlay;
    std::unique_ptr<ShaderReloader> _shaders;
    FileWatcher _watcher;
    EditModes _modes;
    TimelineFile _file{kTimelinePath};
    std::unique_ptr<CurveStrip> _curve;

    bool _showOverlay = true;
    bool _showTracks = false;
    bool _showCurve = false;
    bool _bunchMoved = false;  // the bunch mode's keys stand in for the timeline's
    size_t _curveTrack = 0;  // index into the scene's parameter names
    std::string _lastKeys;   // the last write, undo or redo
    bool _dirty = true;  // something to show although the film is paused
    std::string _lastReload;
    std::map<std::string, std::string> _failures;  // file -> message, until it reloads well
    std::chrono::steady_clock::time_point _lastFrame{};
    double _frameSeconds = 0.0;
};
