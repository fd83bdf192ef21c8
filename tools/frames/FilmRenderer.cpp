#include "FilmRenderer.h"

#include "HeadlessSurface.h"
#include "SampleAccumulator.h"
#include "SamplePattern.h"

#include "cpp/Display.h"
#include "cpp/InitialGlState.h"
#include "cpp/LoadTimeline.h"
#include "cpp/Music.h"
#include "cpp/PresentationDriver.h"
#include "platform/Bass.h"
#include "scenes/TestGeometry.h"

#include <GL/glew.h>

#include <glm/gtc/matrix_transform.hpp>

#include <chrono>
#include <stdexcept>

FilmRenderer::FilmRenderer() = default;
FilmRenderer::~FilmRenderer() = default;

bool FilmRenderer::open(int width, int height, std::string* why) {
    _width = width;
    _height = height;
    screenWidth = width;
    screenHeight = height;
    vsync = false;
    fullscreen = false;
    LoadTimeline& timeline = LoadTimeline::instance();
    timeline.start();
    // The music needs no GL: it decodes while the context is made and everything loads.
    prepareMusic();
    if (!makeHeadlessSurfaceCurrent(width, height, why)) return false;
    // The window's initial state, as the program sets it after creating its context.
    setInitialGlState(screenWidth, screenHeight);
    timeline.mark("GL context");

    bassUseManualClock(true);
    auto loadStart = std::chrono::steady_clock::now();
    _driver = std::make_unique<PresentationDriver>(
        []() -> std::shared_ptr<AbstractScene> { return std::make_shared<TestGeometry>(); });
    _scene = dynamic_cast<TestGeometry*>(&_driver->currentScene());
    if (_scene == nullptr) return *why = "the driver's scene is not the film", false;
    // Every step up to a frame's time is taken, however far it is from the last frame.
    _scene->branchMotion().setCatchUpLimit(0);
    _projection = _scene->projection();
    BASS_ChannelPlay(musicStream, TRUE);
    glFinish();
    timeline.mark("start of the music");
    _loadSeconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - loadStart).count();
    return true;
}

bool FilmRenderer::hasFrameAt(double seconds) const {
    bassSetManualSeconds(seconds);
    return BASS_ChannelIsActive(musicStream) != 0;
}

void FilmRenderer::setSamples(int samples) {
    _samples = samples < 1 ? 1 : samples;
    if (_samples > 1 && !_accumulator) {
        _accumulator = std::make_unique<SampleAccumulator>(_width, _height, headlessSurfaceIsSrgb());
        if (!_accumulator->valid()) throw std::runtime_error("no floating-point target to average samples in");
    }
}

void FilmRenderer::renderSamples() {
    _accumulator->clear();
    for (const glm::vec2& offset : samplePattern(_samples)) {
        // A shift of the clip-space picture by `offset` pixels: two NDC units span the frame.
        const glm::vec3 shift(2.0f * offset.x / static_cast<float>(_width),
                              2.0f * offset.y / static_cast<float>(_height), 0.0f);
        _scene->useProjection(glm::translate(glm::mat4(1.0f), shift) * _projection);
        _driver->renderFrame();
        _accumulator->add();
    }
    _scene->useProjection(_projection);
    _accumulator->resolve(_samples);
}

void FilmRenderer::renderAt(double seconds) {
    bassSetManualSeconds(seconds);
    if (_samples > 1)
        renderSamples();
    else
        _driver->renderFrame();
    LoadTimeline& timeline = LoadTimeline::instance();
    if (!timeline.running()) return;
    // The first frame is on screen once GL has drawn it.
    glFinish();
    timeline.finish("first frame");
}
