#include "platform/AudioDevice.h"

#include <SDL.h>

#include <algorithm>
#include <chrono>
#include <cstring>
#include <mutex>
#include <utility>

namespace platform {

namespace {

constexpr Uint16 kBufferFrames = 1024;

SDL_AudioDeviceID openDevice(const AudioDeviceChoice& device, int rate, int channels,
                             SDL_AudioCallback callback, void* userdata) {
    SDL_AudioSpec wanted;
    std::memset(&wanted, 0, sizeof wanted);
    wanted.freq = rate;
    wanted.format = AUDIO_S16SYS;
    wanted.channels = static_cast<Uint8>(channels);
    wanted.samples = kBufferFrames;
    wanted.callback = callback;
    wanted.userdata = userdata;
    SDL_AudioSpec obtained;
    std::memset(&obtained, 0, sizeof obtained);
    const char* name = device.name ? device.name->c_str() : nullptr;
    return SDL_OpenAudioDevice(name, 0, &wanted, &obtained, 0);
}

// ALSA prints a page of configuration errors to stderr when there is no sound card,
// although the silent output takes over without any fuss. SDL loads libasound
// itself; give it an error handler that stays quiet.
void alsaErrorsQuiet(const char*, int, const char*, int, const char*, ...) {}

void quietenAlsa() {
    const char* driver = SDL_GetCurrentAudioDriver();
    if (driver == nullptr || std::strcmp(driver, "alsa") != 0) return;
    void* alsa = SDL_LoadObject("libasound.so.2");
    if (alsa == nullptr) return;
    using Handler = void (*)(const char*, int, const char*, int, const char*, ...);
    using SetHandler = int (*)(Handler);
    auto setHandler = reinterpret_cast<SetHandler>(SDL_LoadFunction(alsa, "snd_lib_error_set_handler"));
    if (setHandler != nullptr) setHandler(&alsaErrorsQuiet);
    SDL_UnloadObject(alsa);
}

void silence(void*, Uint8* stream, int length) {
    std::memset(stream, 0, static_cast<size_t>(length));
}

class DevicePlayback : public IPlayback {
public:
    explicit DevicePlayback(std::shared_ptr<const PcmBuffer> pcm) : _pcm(std::move(pcm)) {}

    ~DevicePlayback() override {
        // Closing waits for a running callback, so nothing touches this object afterwards.
        if (_device != 0) SDL_CloseAudioDevice(_device);
    }

    bool open(const AudioDeviceChoice& device) {
        _device = openDevice(device, _pcm->rate, _pcm->channels, &DevicePlayback::fill, this);
        return _device != 0;
    }

    void start() override {
        {
            std::lock_guard<std::mutex> lock(_mutex);
            _nextFrame = 0;
            _framesAtCallback = 0;
            _bufferFrames = 0;
            _calledBack = false;
            _reported = 0;
            _started = true;
        }
        SDL_PauseAudioDevice(_device, 0);
    }

    bool started() const override {
        std::lock_guard<std::mutex> lock(_mutex);
        return _started;
    }

    void setPaused(bool paused) override {
        if (!started()) return;
        // Pausing waits for a running callback; the position then holds where the device stopped.
        SDL_PauseAudioDevice(_device, paused ? 1 : 0);
        std::lock_guard<std::mutex> lock(_mutex);
        if (paused) {
            _nextFrame = std::min(_nextFrame, playedFramesLocked());
            _framesAtCallback = _nextFrame;
            _reported = _nextFrame;
            _calledBack = false;
        }
    }

    void seek(uint64_t frame) override {
        std::lock_guard<std::mutex> lock(_mutex);
        _nextFrame = std::min(frame, _pcm->frames());
        _framesAtCallback = _nextFrame;
        _reported = _nextFrame;
        _calledBack = false;
    }

    uint64_t playedFrames() override {
        std::lock_guard<std::mutex> lock(_mutex);
        return playedFramesLocked();
    }

private:
    uint64_t playedFramesLocked() {
        if (!_started || !_calledBack) return _reported;
        const std::chrono::duration<double> since = std::chrono::steady_clock::now() - _callbackTime;
        const uint64_t now =
            smoothPlayedFrames(_framesAtCallback, _bufferFrames, since.count(), _pcm->rate, _pcm->frames());
        _reported = std::max(_reported, now);
        return _reported;
    }

    static void fill(void* userdata, Uint8* stream, int length) {
        static_cast<DevicePlayback*>(userdata)->fill(stream, static_cast<size_t>(length));
    }

    void fill(Uint8* stream, size_t length) {
        std::lock_guard<std::mutex> lock(_mutex);
        const size_t bytesPerFrame = static_cast<size_t>(_pcm->bytesPerFrame());
        const uint64_t wanted = length / bytesPerFrame;
        const uint64_t total = _pcm->frames();
        const uint64_t available = _started ? total - std::min(total, _nextFrame) : 0;
        const uint64_t copied = std::min(wanted, available);
        if (copied > 0)
            std::memcpy(stream, _pcm->samples.data() + _nextFrame * static_cast<uint64_t>(_pcm->channels),
                        static_cast<size_t>(copied) * bytesPerFrame);
        std::memset(stream + copied * bytesPerFrame, 0, length - static_cast<size_t>(copied) * bytesPerFrame);
        if (!_started) return;
        _framesAtCallback = _nextFrame;
        _nextFrame += copied;
        _bufferFrames = wanted;
        _callbackTime = std::chrono::steady_clock::now();
        _calledBack = true;
    }

    std::shared_ptr<const PcmBuffer> _pcm;
    SDL_AudioDeviceID _device = 0;
    mutable std::mutex _mutex;
    // Guarded by _mutex: shared with SDL's audio thread.
    uint64_t _nextFrame = 0;         // next frame to hand to the device
    uint64_t _framesAtCallback = 0;  // first frame of the buffer handed out last
    uint64_t _bufferFrames = 0;      // frames per callback
    std::chrono::steady_clock::time_point _callbackTime{};
    bool _calledBack = false;
    bool _started = false;
    uint64_t _reported = 0;  // keeps the position from running backwards
};

}  // namespace

bool startAudioSubsystem() {
    if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) return false;
    quietenAlsa();
    return true;
}

void stopAudioSubsystem() {
    SDL_QuitSubSystem(SDL_INIT_AUDIO);
}

int audioDeviceCount() {
    return std::max(0, SDL_GetNumAudioDevices(0));
}

std::optional<std::string> audioDeviceName(int index) {
    const char* name = SDL_GetAudioDeviceName(index, 0);
    if (name == nullptr) return std::nullopt;
    return std::string(name);
}

bool probeAudioDevice(const AudioDeviceChoice& device, int rate) {
    SDL_AudioDeviceID id = openDevice(device, rate, 2, &silence, nullptr);
    if (id == 0) return false;
    SDL_CloseAudioDevice(id);
    return true;
}

std::unique_ptr<IPlayback> openDevicePlayback(const AudioDeviceChoice& device,
                                              std::shared_ptr<const PcmBuffer> pcm) {
    auto playback = std::make_unique<DevicePlayback>(std::move(pcm));
    if (!playback->open(device)) return nullptr;
    return playback;
}

}  // namespace platform
