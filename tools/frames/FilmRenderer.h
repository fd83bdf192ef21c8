// The film drawn without a window: the tools' one way to render a frame at a film time.
//
// Opening makes a headless GL 4.3 surface of the given size current, gives it the
// window's initial state, builds the driver with the film's scene on a manual music
// clock, and lets the branches take every step up to a frame's time (no catch-up
// bound). A frame at film time T then depends on T alone: renderAt(T) draws it into
// framebuffer 0, whatever other times were drawn before. Frames at or past the end
// of the music do not exist (the driver would end the process there), so callers
// check hasFrameAt first. The working directory must be the run directory, because
// the driver loads "data/", "shaders/" and the tracks from there.
#pragma once

#include <memory>
#include <string>

class PresentationDriver;
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

    bool hasFrameAt(double seconds) const;
    // The first frame also closes the load timeline (LoadTimeline): it waits until GL has drawn it.
    void renderAt(double seconds);

    double loadSeconds() const { return _loadSeconds; }
    int width() const { return _width; }
    int height() const { return _height; }
    PresentationDriver& driver() { return *_driver; }
    TestGeometry& scene() { return *_scene; }

private:
    std::unique_ptr<PresentationDriver> _driver;
    TestGeometry* _scene = nullptr;
    double _loadSeconds = 0.0;
    int _width = 0;
    int _height = 0;
};
