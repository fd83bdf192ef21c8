// The presentation driver: everything that lives for the whole film.
//
// Owns the G-buffer, the one scene, the timer query and the sync tracks, and opens
// the music. Construction needs a current GL context and loads everything (the
// scene's constructor does the loading). Every frame it reads the music position,
// evaluates each sync track at the row and stores the value in the scene's
// parameter table under the track's name, then asks the scene to draw.
// The process always ends through exit(): when the music has stopped, on Escape,
// on closing the window and on a quit request; nothing is torn down.
#pragma once

#include "GLwrappers/Texture.h"
#include "cpp/AbstractScene.h"
#include "cpp/FrameTime.h"
#include "cpp/GBuffer.h"
#include "cpp/TrackReader.h"

#include <cstdint>
#include <map>
#include <memory>
#include <vector>

struct sync_device;
struct sync_key;
struct sync_track;
class Demo;

class PresentationDriver : public TrackReader {
public:
    using SceneFactory = std::shared_ptr<AbstractScene> (*)();

    // Builds the film's scene.
    PresentationDriver();
    // Builds the scene with the given factory (tests use their own scenes).
    explicit PresentationDriver(SceneFactory makeScene);

    PresentationDriver(const PresentationDriver&) = delete;
    PresentationDriver& operator=(const PresentationDriver&) = delete;

    // One frame; ends the process (status 0) when the music stream is no longer active.
    void renderFrame();

    // What a frame does before drawing: the row and time from the music clock, and
    // every track's value into the scene's parameter table.
    void updateFrame();

    // The drawable is now screenWidth x screenHeight: the G-buffer and the scene follow.
    void resize();

    // Starts the music, then reads window events and renders one frame per turn, forever.
    [[noreturn]] void runMessageLoop(Demo& demo);

    // A track's value at any film time (the scene steps the branches' anchor with it).
    double valueAt(const std::string& name, double seconds) const override;

    // Replaces the keys of the track `name` in memory (the authoring tool's live timeline);
    // the next frame reads them. False with *problem set when there is no such track or the
    // keys are unusable; the track is then unchanged.
    bool replaceTrackKeys(const std::string& name, const sync_key* keys, uint64_t count, std::string* problem);

    const FrameTime& currentFrameTime() const { return frameTime; }
    const std::vector<std::shared_ptr<const sync_track>>& syncTracks() const { return tracks; }
    AbstractScene& currentScene() { return *scene; }

private:
    void openSyncTracks();

    std::shared_ptr<sync_device> syncDevice;
    std::vector<std::shared_ptr<const sync_track>> tracks;
    std::map<std::shared_ptr<const sync_track>, std::shared_ptr<AbstractScene>> trackScenes;
    std::map<std::string, const sync_track*> tracksByName;
    FrameTime frameTime;
    GBuffer<8> gBuffer;
    std::shared_ptr<AbstractScene> scene;
    gl::TimerQuery timer;
};
