#include "AuthorSession.h"

#include "LiveTimeline.h"

#include "cpp/Display.h"
#include "cpp/InitialGlState.h"
#include "cpp/Music.h"
#include "cpp/Random.h"
#include "cpp/ShaderEngine.h"
#include "platform/Bass.h"
#include "platform/MessageBox.h"
#include "platform/WindowGlLoader.h"

#include <SDL.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <stdexcept>

namespace {

const char* const kFont = "/usr/share/fonts/truetype/dejavu/DejaVuSansMono.ttf";
const std::string kModelFolder = "data/Collada2";
const std::string kCredits = "data/credits.png";

std::string firstLine(const std::string& text) {
    const std::string::size_type end = text.find('\n');
    return end == std::string::npos ? text : text.substr(0, end);
}

std::string filmTime(double seconds) {
    const int minutes = static_cast<int>(seconds / 60.0);
    char text[32];
    std::snprintf(text, sizeof text, "%d:%06.3f", minutes, seconds - 60.0 * minutes);
    return text;
}

std::string formatted(const char* format, double a, double b = 0.0) {
    char text[128];
    std::snprintf(text, sizeof text, format, a, b);
    return text;
}

}  // namespace

AuthorSession::AuthorSession(const AuthorOptions& options) : _options(options) {
    for (const char* needed : {kTimelinePath, "data/music.mp3", "shaders", "data/Collada2", "data/credits.png"}) {
        if (!std::filesystem::exists(needed))
            throw std::runtime_error(std::string("no ") + needed + " here: run halvane-author from the repository's root");
    }
    std::string error;
    if (!live::loadTimeline(kTimelinePath, &_timeline, &error, &_timelineText)) throw std::runtime_error(error);
    openWindow();
    loadFilm();
}

void AuthorSession::openWindow() {
    screenWidth = _options.width;
    screenHeight = _options.height;
    vsync = false;
    fullscreen = false;
    if (SDL_Init(SDL_INIT_VIDEO) != 0) throw std::runtime_error(std::string("no display: ") + SDL_GetError());
    if (_window.create("halvane-author", screenWidth, screenHeight, false) != platform::Window::CreateResult::Created)
        throw std::runtime_error("no window with the film's GL framebuffer");
    if (!_window.createCoreContext() || !_window.makeCurrent()) throw std::runtime_error("no GL 4.3 core context");
    if (!platform::initialiseGlew()) throw std::runtime_error("GLEW failed to initialize.");
    _window.setSwapInterval(0);
    setInitialGlState(screenWidth, screenHeight);
}

void AuthorSession::loadFilm() {
    // While loading, whatever the film would show in a message box ends the start (status 1).
    platform::setMessageBoxHook([](const std::string&) { std::exit(1); });
    const uint32_t windState = demoRandState();
    _driver = std::make_unique<PresentationDriver>();
    _scene = dynamic_cast<TestGeometry*>(&_driver->currentScene());
    if (_scene == nullptr) throw std::runtime_error("the driver's scene is not the film");
    if (musicStream == 0) throw std::runtime_error(std::string("cannot play ") + kMusicFile);
    platform::setMessageBoxHook([](const std::string&) {});  // standard error has it

    std::string error;
    if (!live::applyTimeline(_timeline, kTimelinePath, *_driver, _scene->trackNames(), &error))
        throw std::runtime_error(error);
    // A seek restores a snapshot and steps the rest, however many steps that is.
    _scene->branchMotion().setCatchUpLimit(0);

    // The snapshots' tree draws the same wind table as the scene's: same generator state.
    const uint32_t afterLoad = demoRandState();
    setDemoRandState(windState);
    auto shadow = std::make_unique<Tree>(glm::dvec3(0.0), MeshUpload::CpuOnly);
    setDemoRandState(afterLoad);
    if (shadow->wind() != _scene->tree().wind()) throw std::runtime_error("the branches' wind cannot be replayed");

    _shaders = std::make_unique<ShaderReloader>(*ShaderEngine::create());
    _overlay = std::make_unique<Overlay>(kFont, std::clamp(screenHeight / 48, 11, 20));
    _curve = std::make_unique<CurveStrip>(kFont, _overlay->pixelHeight());
    const std::vector<std::string> tracks = _scene->trackNames();
    _curveTrack = static_cast<size_t>(std::find(tracks.begin(), tracks.end(), "ts.eyepos.x") - tracks.begin()) %
                  tracks.size();
    for (const char* directory : {"timeline", "shaders", "data", "data/Collada2"}) {
        if (!_watcher.watch(directory, &error)) throw std::runtime_error(error);
    }

    // The snapshots' worker starts last: nothing after it can fail the start.
    const double length = bassLengthSeconds(musicStream);
    if (_options.at > length)
        throw std::runtime_error(formatted("--at %.3f is past the end of the music (%.3f s)", _options.at, length));
    _snapshots = std::make_unique<MotionSnapshots>(std::move(shadow), BunchPath(_timeline), length);

    _clock = std::make_unique<BassClock>(musicStream);
    const BarGrid grid = BarGrid::fromRows(_timeline.rowsPerBeat, _timeline.beatsPerBar, kRowsPerSecond);
    _transport = std::make_unique<Transport>(
        *_clock, grid, length, [this](const std::string& line) { log(line); },
        [this](double seconds) {
            _snapshots->restoreBefore(_scene->branchMotion(), seconds);
            _dirty = true;
        });

    BASS_ChannelPlay(musicStream, TRUE);
    _clock->seek(_options.at);
    _snapshots->restoreBefore(_scene->branchMotion(), _options.at);
    _window.show();
    log(formatted("start %.3f", _options.at));
}

void AuthorSession::log(const std::string& line) {
    std::printf("%s\n", line.c_str());
    std::fflush(stdout);
}

void AuthorSession::quit() {
    _snapshots->stop();
    BASS_Free();
    std::exit(0);
}

void AuthorSession::run() {
    for (;;) {
        // The loop wraps before keys are read, so a pause lands inside it.
        _transport->tick();
        platform::WindowEvent event;
        while (_window.pollEvent(&event)) {
            if (event.kind == platform::WindowEvent::Quit || event.kind == platform::WindowEvent::Close) quit();
            if (event.kind == platform::WindowEvent::KeyDown) handleKey(event);
        }
        turnWithMouse();
        handleChanges();
        if (_transport->paused() && !_dirty) {
            SDL_Delay(10);  // nothing moves: leave the machine to others
            continue;
        }
        drawFrame();
    }
}

void AuthorSession::handleKey(const platform::WindowEvent& event) {
    if (handleAuthoringKey(event)) {
        _dirty = true;
        return;
    }
    const int bars = (event.modifiers & KMOD_SHIFT) ? 8 : 1;
    switch (event.key) {
        case SDLK_ESCAPE: quit();
        case SDLK_SPACE: _transport->togglePause(); break;
        case SDLK_RIGHT: _transport->stepBars(bars); break;
        case SDLK_LEFT: _transport->stepBars(-bars); break;
        case SDLK_HOME: _transport->home(); break;
        case SDLK_LEFTBRACKET: _transport->setLoopStart(); break;
        case SDLK_RIGHTBRACKET: _transport->setLoopEnd(); break;
        case SDLK_BACKSPACE: _transport->clearLoop(); break;
        case SDLK_TAB:
            _showOverlay = !_showOverlay;
            log(_showOverlay ? "overlay on" : "overlay off");
            break;
        case SDLK_F2:
            _showTracks = !_showTracks;
            log(_showTracks ? "tracks on" : "tracks off");
            break;
        case SDLK_F3:
            _showCurve = !_showCurve;
            log(_showCurve ? "curve on" : "curve off");
            break;
        default: return;
    }
    _dirty = true;
}

void AuthorSession::handleChanges() {
    for (const std::string& path : _watcher.changes()) {
        const std::filesystem::path file(path);
        const std::string folder = file.parent_path().string();
        const std::string name = file.filename().string();
        if (path == kTimelinePath) {
            reloadTimeline();
        } else if (folder == "shaders" && _shaders->knows(name)) {
            reloadShader(path, name);
        } else if (folder == kModelFolder && file.extension() == ".png") {
            reloadTexture(path, name);
        } else if (path == kCredits) {
            reloadTexture(path, "credits");
        }
    }
}

void AuthorSession::succeeded(const std::string& file, const std::string& what) {
    _failures.erase(file);
    _lastReload = "reload " + file + ": " + what;
    log(_lastReload);
    _dirty = true;
}

void AuthorSession::failed(const std::string& file, const std::string& why) {
    _failures[file] = firstLine(why);
    std::fprintf(stderr, "halvane-author: %s: %s\n", file.c_str(), why.c_str());
    std::fflush(stderr);
    log("reload " + file + ": failed: " + firstLine(why));
    _dirty = true;
}

void AuthorSession::reloadTimeline() {
    synctrack::Timeline timeline;
    std::string text;
    std::string error;
    if (!live::loadTimeline(kTimelinePath, &timeline, &error, &text) || !applyTracks(timeline, &error)) {
        failed("timeline", error);
        return;
    }
    _timeline = std::move(timeline);
    _timelineText = std::move(text);
    _transport->setGrid(BarGrid::fromRows(_timeline.rowsPerBeat, _timeline.beatsPerBar, kRowsPerSecond));
    succeeded("timeline", std::to_string(_timeline.tracks.size()) + " tracks");
    if (_modes.isOn(EditModes::Bunch) && _bunchMoved) previewBunch();
}

bool AuthorSession::applyTracks(const synctrack::Timeline& timeline, std::string* error) {
    if (!live::applyTimeline(timeline, kTimelinePath, *_driver, _scene->trackNames(), error)) return false;
    BunchPath path(timeline);
    const int64_t lastStep = BranchMotion::stepAt(_transport->length());
    const int64_t changed = _snapshots->path().firstDifference(path, lastStep);
    _snapshots->changePath(std::move(path), changed);
    // Branches that have already lived through the change move again from before it.
    if (changed >= 0 && _scene->branchMotion().currentStep() >= changed)
        _snapshots->restoreBefore(_scene->branchMotion(), _transport->now(), true);
    return true;
}

void AuthorSession::reloadShader(const std::string& path, const std::string& fileName) {
    std::vector<std::string> programs;
    std::string error;
    if (!_shaders->rebuild(fileName, &programs, &error)) {
        failed(path, error);
        return;
    }
    _scene->refreshPrograms();
    std::string names;
    for (const std::string& program : programs) names += (names.empty() ? "" : " ") + program;
    succeeded(path, names.empty() ? "no program uses it" : names);
}

void AuthorSession::reloadTexture(const std::string& path, const std::string& name) {
    try {
        _scene->replaceTexture(name, path);
    } catch (const std::exception& failure) {
        failed(path, failure.what());
        return;
    }
    succeeded(path, "texture " + name);
}

// What the frame on screen was drawn with: a mode is entered from exactly that.
double AuthorSession::filmValue(const std::string& track) const {
    const auto found = _scene->parameters().find(track);
    return found != _scene->parameters().end() ? found->second : 0.0;
}

CameraPose AuthorSession::filmCamera() const {
    const std::vector<std::string>& names = EditModes::tracksOf(EditModes::Camera);
    const auto at = [&](size_t i) {
        return glm::vec3(static_cast<float>(filmValue(names[i])), static_cast<float>(filmValue(names[i + 1])),
                         static_cast<float>(filmValue(names[i + 2])));
    };
    return CameraPose{at(0), at(3), at(6)};
}

int AuthorSession::currentRow() const {
    return static_cast<int>(std::floor(_driver->currentFrameTime().time * kRowsPerSecond + 1e-6));
}

bool AuthorSession::handleAuthoringKey(const platform::WindowEvent& event) {
    const bool ctrl = (event.modifiers & KMOD_CTRL) != 0;
    const bool shift = (event.modifiers & KMOD_SHIFT) != 0;
    if (ctrl) {
        const float turn = shift ? 12.0f : 3.0f;  // degrees a press
        const bool flying = _modes.isOn(EditModes::Camera);
        switch (event.key) {
            case SDLK_z: undoOrRedo(true); return true;
            case SDLK_y: undoOrRedo(false); return true;
            // Not flying, Ctrl+Left/Right stay the transport's.
            case SDLK_LEFT: return flying && (_modes.turn(-turn, 0.0f), true);
            case SDLK_RIGHT: return flying && (_modes.turn(turn, 0.0f), true);
            case SDLK_UP: _modes.turn(0.0f, turn); return true;
            case SDLK_DOWN: _modes.turn(0.0f, -turn); return true;
            default: return false;
        }
    }
    const float step = shift ? 1.0f : 0.25f;  // film units a press; held keys repeat
    float forward = 0.0f, right = 0.0f, up = 0.0f;
    switch (event.key) {
        case SDLK_f: toggleMode(EditModes::Camera); return true;
        case SDLK_l: toggleMode(EditModes::Light); return true;
        case SDLK_b: toggleMode(EditModes::Bunch); return true;
        case SDLK_RETURN:
        case SDLK_KP_ENTER: writeKeys(); return true;
        case SDLK_UP:
        case SDLK_DOWN: {
            const size_t count = _scene->trackNames().size();
            _curveTrack = (_curveTrack + (event.key == SDLK_UP ? count - 1 : 1)) % count;
            log("curve " + _scene->trackNames()[_curveTrack]);
            return true;
        }
        case SDLK_w: forward = step; break;
        case SDLK_s: forward = -step; break;
        case SDLK_d: right = step; break;
        case SDLK_a: right = -step; break;
        case SDLK_e: up = step; break;
        case SDLK_q: up = -step; break;
        default: return false;
    }
    if (!_modes.active()) return true;
    _modes.move(forward, right, up, filmCamera());
    if (_modes.active() == EditModes::Bunch) {
        _bunchMoved = true;
        previewBunch();
    }
    return true;
}

void AuthorSession::toggleMode(EditModes::Mode mode) {
    const bool on = _modes.toggle(mode, [this](const std::string& track) { return filmValue(track); });
    log(std::string(mode == EditModes::Camera ? "fly" : EditModes::nameOf(mode)) + (on ? " on" : " off"));
    if (mode != EditModes::Bunch) return;
    // Turned on, nothing has moved yet: the branches stay exactly the film's.
    if (!on && _bunchMoved) previewBunch();
    _bunchMoved = false;
}

// The branches follow the bunch as the keys Return would write would move them (and,
// with the mode off or not moved yet, as the timeline moves them), simulated again from
// before the change.
void AuthorSession::previewBunch() {
    synctrack::Timeline preview;
    std::string error;
    const bool standIn = _modes.isOn(EditModes::Bunch) && _bunchMoved;
    if (standIn) {
        std::vector<keys::Key> bunch;
        const std::map<std::string, double> values = _modes.values(EditModes::Bunch);
        for (const std::string& track : EditModes::tracksOf(EditModes::Bunch))
            bunch.push_back(keys::Key{track, currentRow(), static_cast<float>(values.at(track))});
        std::string text;
        if (!keys::writeKeys(_timelineText, bunch, kTimelinePath, &text, &error) ||
            !synctrack::parseTimeline(text, kTimelinePath, &preview, &error)) {
            refused("bunch", error);
            return;
        }
    }
    if (!applyTracks(standIn ? preview : _timeline, &error)) refused("bunch", error);
}

void AuthorSession::writeKeys() {
    const std::optional<EditModes::Mode> mode = _modes.active();
    if (!mode) {
        log("keys: nothing to write (F flies the camera, L moves the light, B the bunch)");
        return;
    }
    const int row = currentRow();
    const std::vector<keys::Key> written = _modes.keysToWrite(row);
    std::string label = "keys";
    for (const keys::Key& key : written) label += " " + key.track;
    label += " at " + keys::formatRow(row, _timeline.rowsPerBeat, _timeline.beatsPerBar);
    std::string error;
    if (!_file.writeKeys(written, label, &error)) {
        refused("keys", error);
        return;
    }
    _failures.erase("keys");
    _lastKeys = label;
    log(label);
    // The saved file comes back through the watcher, like an editor's save.
}

void AuthorSession::undoOrRedo(bool undo) {
    if (!(undo ? _file.canUndo() : _file.canRedo())) {
        log(undo ? "undo: nothing to undo" : "redo: nothing to redo");
        return;
    }
    std::string label;
    std::string error;
    if (!(undo ? _file.undo(&error, &label) : _file.redo(&error, &label))) {
        refused("keys", error);
        return;
    }
    _failures.erase("keys");
    _lastKeys = (undo ? "undo " : "redo ") + label;
    log(_lastKeys);
}

void AuthorSession::refused(const std::string& what, const std::string& why) {
    _failures[what] = firstLine(why);
    std::fprintf(stderr, "halvane-author: %s: %s\n", what.c_str(), why.c_str());
    std::fflush(stderr);
    log(what + ": refused: " + firstLine(why));
}

void AuthorSession::turnWithMouse() {
    int dx = 0;
    int dy = 0;
    const Uint32 buttons = SDL_GetRelativeMouseState(&dx, &dy);  // also forgets the motion so far
    if (!_modes.isOn(EditModes::Camera) || !(buttons & SDL_BUTTON_LMASK) || (dx == 0 && dy == 0)) return;
    constexpr float kDegreesPerPixel = 0.25f;
    _modes.turn(dx * kDegreesPerPixel, -dy * kDegreesPerPixel);
    _dirty = true;
}

std::vector<Overlay::Line> AuthorSession::overlayLines() {
    const double now = _driver->currentFrameTime().time;
    const BarGrid& grid = _transport->grid();
    std::vector<Overlay::Line> lines;
    char text[160];
    std::snprintf(text, sizeof text, "%s  bar %d:%d  row %d", filmTime(now).c_str(), grid.barAt(now),
                  grid.beatAt(now), static_cast<int>(std::floor(now * kRowsPerSecond + 1e-6)));
    lines.push_back({text});
    const double fps = _frameSeconds > 0.0 ? 1.0 / _frameSeconds : 0.0;
    std::snprintf(text, sizeof text, "%.1f fps  %.1f ms", fps, _frameSeconds * 1000.0);
    lines.push_back({text});
    std::string state = _transport->paused() ? "paused" : "playing";
    if (_transport->looping())
        state += "  looping " + filmTime(_transport->loopStart()) + "-" + filmTime(_transport->loopEnd());
    lines.push_back({state, {255, 220, 120}});
    if (_modes.active()) {
        std::string modes = EditModes::nameOf(*_modes.active());
        for (EditModes::Mode mode : {EditModes::Camera, EditModes::Light, EditModes::Bunch})
            if (_modes.isOn(mode) && mode != *_modes.active())
                modes += std::string("  (") + EditModes::nameOf(mode) + ")";
        lines.push_back({modes, {255, 220, 120}});
    }
    if (!_lastKeys.empty()) lines.push_back({_lastKeys, {150, 230, 150}});
    if (!_lastReload.empty()) lines.push_back({_lastReload, {150, 230, 150}});
    for (const auto& [file, message] : _failures) lines.push_back({file + ": " + message, {255, 110, 100}});
    if (_showTracks) {
        for (const auto& [name, value] : _scene->parameters()) {
            std::snprintf(text, sizeof text, "%-13s %10.4f", name.c_str(), value);
            lines.push_back({text, {180, 210, 255}});
        }
    }
    return lines;
}

art::Image AuthorSession::curvePicture() {
    const std::vector<std::string> names = _scene->trackNames();
    CurveStrip::View view;
    view.name = names[_curveTrack % names.size()];
    for (const synctrack::TimelineTrack& track : _timeline.tracks)
        if (track.name == view.name) view.track = &track;
    view.grid = _transport->grid();
    view.rowsPerSecond = kRowsPerSecond;
    view.seconds = _driver->currentFrameTime().time;
    for (EditModes::Mode mode : {EditModes::Camera, EditModes::Light, EditModes::Bunch}) {
        if (!_modes.isOn(mode)) continue;
        const std::map<std::string, double> values = _modes.values(mode);
        const auto found = values.find(view.name);
        if (found != values.end()) view.standIn = found->second;
    }
    return _curve->render(view, screenWidth, std::clamp(screenHeight / 4, 40, 200));
}

void AuthorSession::drawFrame() {
    _dirty = false;
    _driver->updateFrame();
    for (const auto& [track, value] : _modes.overrides()) _scene->parameter(track) = value;
    _scene->draw(&_driver->currentFrameTime());
    if (_showOverlay || _showCurve) {
        _overlay->setLines(_showOverlay ? overlayLines() : std::vector<Overlay::Line>{});
        _overlay->setStrip(_showCurve ? curvePicture() : art::Image());
        _overlay->draw(screenWidth, screenHeight);
    }
    _window.swap();
    const auto now = std::chrono::steady_clock::now();
    if (_lastFrame != std::chrono::steady_clock::time_point{}) {
        const double seconds = std::chrono::duration<double>(now - _lastFrame).count();
        // Smoothed, so the number can be read.
        _frameSeconds = _frameSeconds == 0.0 ? seconds : 0.9 * _frameSeconds + 0.1 * seconds;
    }
    _lastFrame = now;
}
