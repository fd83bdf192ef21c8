// The film drawn without a window: the tools' one way to render a frame at a film time.
//
// Opening makes a headless GL 4.3 surface of the given size current, gives it the
// window's initial state, builds the driver with the film's scene on a manual music
// clock, and lets the branches take every step up to a frame's time (no catch-up
// bound). A frame at film time T then depends on T alone: renderAt(T) draws it into
// framebuffer 0, whatever other times were drawn before. Frames at or past the end
// of the music do not exist (the driver would end the process there), so callers
// check hasFrameAt first. With setSamples(N > 1) each frame is the mean of N renders
// of the same film time, the projection moved by a sub-pixel offset each time
// (SamplePattern), averaged in linear light (SampleAccumulator); the branches and the
// tracks stay at that time for all of them. The working directory must be the run directory, because
// the driver loads "data/", "shaders/" and the tracks from there.
#pragma once

#include <memory>
#include <string>

#include <glm/mat4x4.hpp>

class PresentationDriver;
class SampleAccumulator;
class TestGeometry;

class FilmRenderer {
public:
    FilmRenderer();
    ~FilmRenderer();
    FilmRenderer(const FilmRenderer&) = delete;
    FilmRenderer& operator=(const FilmRenderer&) = delete;

    // Loads everything; false with a reason when there is no GL 4.3 surface or the
    // driver's scene is not the film. Call once.
    bool open(int width, int height, std::string* why);

    // 1 (the default) draws each frame once, as the program does; call after open().
    void setSamples(int samples);
    int samples() const { return _samples; }

    bool hasFrameAt(double seconds) const;
    // The first frame also closes the load timeline (LoadTimeline): it waits until GL has drawn it.
    void renderAt(double seconds);

    double loadSeconds() const { return _loadSeconds; }
    int width() const { return _width; }
    int height() const { return _height; }
    PresentationDriver& driver() { return *_driver; }
    TestGeometry& scene() { return *_scene; }

private:
    void renderSamples();

    std::unique_ptr<PresentationDriver> _driver;
    std::unique_ptr<SampleAccumulator> _accumulator;
    glm::mat4 _projection{1.0f};  // the scene's own, unmoved
    TestGeometry* _scene = nullptr;
    double _loadSeconds = 0.0;
    int _width = 0;
    int _height = 0;
    int _samples = 1;
};
