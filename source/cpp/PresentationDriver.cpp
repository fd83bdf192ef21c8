#include "cpp/PresentationDriver.h"

#include "cpp/Demo.h"
#include "cpp/Display.h"
#include "cpp/LoadTimeline.h"
#include "cpp/Music.h"
#include "platform/Bass.h"
#include "scenes/FilmScene.h"
#include "sync/sync.h"

#include <cstdlib>
#include <stdexcept>

namespace {
// The device and its tracks live until the process ends; the pointers share
// ownership only for the driver's bookkeeping and never free anything.
void keepForever(const void*) {}
}  // namespace

PresentationDriver::PresentationDriver() : PresentationDriver(&createFilmScene) {}

// Order matters: the G-buffer exists (and is initialised) before the scene loads,
// the music is opened after the scene, the tracks after the music. The music decodes
// meanwhile on another thread; its failures still come after the scene's.
PresentationDriver::PresentationDriver(SceneFactory makeScene)
    : gBuffer(screenWidth, screenHeight),
      scene((prepareMusic(), gBuffer.init(), LoadTimeline::instance().mark("G-buffer"), makeScene())),
      timer() {
    openMusic();
    LoadTimeline::instance().mark("music");
    openSyncTracks();
    LoadTimeline::instance().mark("sync tracks");
    scene->gBuffer = &gBuffer;
    scene->trackReader = this;
}

void PresentationDriver::openSyncTracks() {
    sync_device* device = sync_open_device("sync");
    if (device == nullptr) throw std::runtime_error("Couldn't create sync device.");
    syncDevice = std::shared_ptr<sync_device>(device, keepForever);
    for (const std::string& name : scene->trackNames()) {
        const sync_track* found = sync_track_by_name(device, name.c_str());
        // Only a failed allocation gives no track; without it the device is unusable.
        if (found == nullptr) throw std::runtime_error("Couldn't create sync device.");
        std::shared_ptr<const sync_track> track(found, keepForever);
        tracks.push_back(track);
        trackScenes[track] = scene;
        tracksByName[name] = found;
    }
}

void PresentationDriver::renderFrame() {
    if (BASS_ChannelIsActive(musicStream) == 0) {
        BASS_Free();
        std::exit(0);
    }
    updateFrame();
    scene->draw(&frameTime);
}

void PresentationDriver::resize() {
    gBuffer.resize(screenWidth, screenHeight);
    scene->resize(screenWidth, screenHeight);
}

void PresentationDriver::updateFrame() {
    double row = musicRow();
    double seconds = musicSeconds();
    frameTime.delta = seconds - frameTime.time;
    frameTime.time = seconds;

    for (const auto& track : tracks) {
        double value = sync_track_value(track.get(), row);
        trackScenes.find(track)->second->parameter(track->name) = value;
    }
}

double PresentationDriver::valueAt(const std::string& name, double seconds) const {
    auto found = tracksByName.find(name);
    return found == tracksByName.end() ? 0.0 : sync_track_value(found->second, seconds * kRowsPerSecond);
}

bool PresentationDriver::replaceTrackKeys(const std::string& name, const sync_key* keys, uint64_t count,
                                         std::string* problem) {
    const int index = sync_find_track(syncDevice.get(), name.c_str());
    if (index < 0) return *problem = "no track named " + name, false;
    const char* why = nullptr;
    if (sync_set_keys(syncDevice->tracks[index], keys, count, &why) != 0) return *problem = why, false;
    return true;
}

void PresentationDriver::runMessageLoop(Demo& demo) {
    BASS_ChannelPlay(musicStream, TRUE);
    demo.startFrames();
    for (;;) {
        // One message at a time without waiting (the loop never sleeps); the window
        // paints the next frame whenever nothing else is pending.
        if (demo.window.dispatchMessage() == platform::Window::Dispatched::Quit) {
            BASS_Free();
            std::exit(0);
        }
    }
}
