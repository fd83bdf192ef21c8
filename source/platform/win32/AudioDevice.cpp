// Playing a decoded stream on a sound device through WinMM (waveOut).
//
// A feeder thread keeps a few buffers queued on the device, refilling each one the
// device hands back. The played position is the device's own count of samples
// played (waveOutGetPosition) since the stream was started or moved, so it follows
// what is heard rather than what was queued. The device is opened in the stream's
// own rate and channel count. Pausing pauses the device; a seek starts it over
// from the new frame.
#include "platform/AudioDevice.h"

#include "platform/win32/Text.h"

#include <windows.h>
#include <mmsystem.h>

#include <algorithm>
#include <array>
#include <atomic>
#include <cstring>
#include <mutex>
#include <thread>
#include <utility>
#include <vector>

namespace platform {

namespace {

constexpr size_t kBuffers = 4;
constexpr DWORD kBufferFrames = 2048;

WAVEFORMATEX waveFormat(int rate, int channels) {
    WAVEFORMATEX format;
    ZeroMemory(&format, sizeof format);
    format.wFormatTag = WAVE_FORMAT_PCM;
    format.nChannels = static_cast<WORD>(channels);
    format.nSamplesPerSec = static_cast<DWORD>(rate);
    format.wBitsPerSample = 16;
    format.nBlockAlign = static_cast<WORD>(channels * 2);
    format.nAvgBytesPerSec = format.nSamplesPerSec * format.nBlockAlign;
    return format;
}

// WAVE_MAPPER for the default output; otherwise the device of that name. False when
// no device has the name.
bool deviceId(const AudioDeviceChoice& device, UINT* id) {
    if (!device.name) {
        *id = WAVE_MAPPER;
        return true;
    }
    const UINT count = waveOutGetNumDevs();
    for (UINT i = 0; i < count; ++i) {
        WAVEOUTCAPSW caps;
        if (waveOutGetDevCapsW(i, &caps, sizeof caps) == MMSYSERR_NOERROR &&
            win32::narrow(caps.szPname) == *device.name) {
            *id = i;
            return true;
        }
    }
    return false;
}

class WaveOutPlayback : public IPlayback {
public:
    explicit WaveOutPlayback(std::shared_ptr<const PcmBuffer> pcm) : _pcm(std::move(pcm)) {}

    ~WaveOutPlayback() override {
        if (_device == nullptr) return;
        _stopping = true;
        SetEvent(_event);
        if (_feeder.joinable()) _feeder.join();
        waveOutReset(_device);
        for (WAVEHDR& header : _headers) waveOutUnprepareHeader(_device, &header, sizeof header);
        waveOutClose(_device);
        CloseHandle(_event);
    }

    bool open(const AudioDeviceChoice& device) {
        UINT id = WAVE_MAPPER;
        if (!deviceId(device, &id)) return false;
        _event = CreateEventW(nullptr, FALSE, FALSE, nullptr);
        if (_event == nullptr) return false;
        WAVEFORMATEX format = waveFormat(_pcm->rate, _pcm->channels);
        if (waveOutOpen(&_device, id, &format, reinterpret_cast<DWORD_PTR>(_event), 0, CALLBACK_EVENT) !=
            MMSYSERR_NOERROR) {
            _device = nullptr;
            CloseHandle(_event);
            _event = nullptr;
            return false;
        }
        const size_t bytes = static_cast<size_t>(kBufferFrames * _pcm->bytesPerFrame());
        for (size_t i = 0; i < kBuffers; ++i) {
            _memory[i].assign(bytes, 0);
            ZeroMemory(&_headers[i], sizeof(WAVEHDR));
            _headers[i].lpData = _memory[i].data();
            _headers[i].dwBufferLength = static_cast<DWORD>(bytes);
            waveOutPrepareHeader(_device, &_headers[i], sizeof(WAVEHDR));
            _headers[i].dwFlags |= WHDR_DONE;  // free to fill
        }
        _feeder = std::thread([this] { feed(); });
        return true;
    }

    void start() override { restartAt(0, true); }

    void setPaused(bool paused) override {
        std::lock_guard<std::mutex> lock(_mutex);
        if (!_started || paused == _paused) return;
        // The device's own position holds while it is paused.
        if (paused)
            waveOutPause(_device);
        else
            waveOutRestart(_device);
        _paused = paused;
    }

    void seek(uint64_t frame) override { restartAt(frame, false); }

    bool started() const override {
        std::lock_guard<std::mutex> lock(_mutex);
        return _started;
    }

    uint64_t playedFrames() override {
        std::lock_guard<std::mutex> lock(_mutex);
        if (!_started) return _reported;
        MMTIME time;
        ZeroMemory(&time, sizeof time);
        time.wType = TIME_SAMPLES;
        if (waveOutGetPosition(_device, &time, sizeof time) != MMSYSERR_NOERROR) return _reported;
        uint64_t played = 0;
        if (time.wType == TIME_SAMPLES)
            played = time.u.sample;
        else if (time.wType == TIME_BYTES)
            played = time.u.cb / _pcm->bytesPerFrame();
        _reported = std::max(_reported, std::min<uint64_t>(_firstFrame + played, _pcm->frames()));
        return _reported;
    }

private:
    // Plays on from `frame` (clamped to the stream). waveOutReset hands every queued
    // buffer back and sets the device's position to zero: positions count from `frame`.
    void restartAt(uint64_t frame, bool starting) {
        std::lock_guard<std::mutex> lock(_mutex);
        if (!starting && !_started) return;
        waveOutReset(_device);
        _firstFrame = std::min(frame, _pcm->frames());
        _nextFrame = _firstFrame;
        _reported = _firstFrame;
        if (starting) {
            _started = true;
            _paused = false;
            waveOutRestart(_device);
        } else if (_paused) {
            waveOutPause(_device);
        }
        for (WAVEHDR& header : _headers) queue(header);
    }

    // Fills a buffer the device has finished with from the next frames and queues it;
    // leaves it alone once the stream is used up. Called with _mutex held.
    void queue(WAVEHDR& header) {
        if ((header.dwFlags & WHDR_DONE) == 0) return;
        const uint64_t total = _pcm->frames();
        const uint64_t frames = std::min<uint64_t>(kBufferFrames, total - std::min(total, _nextFrame));
        if (frames == 0) return;
        const size_t bytes = static_cast<size_t>(frames * _pcm->bytesPerFrame());
        std::memcpy(header.lpData, _pcm->samples.data() + _nextFrame * static_cast<uint64_t>(_pcm->channels),
                    bytes);
        header.dwBufferLength = static_cast<DWORD>(bytes);
        header.dwFlags &= ~static_cast<DWORD>(WHDR_DONE);
        _nextFrame += frames;
        waveOutWrite(_device, &header, sizeof header);
    }

    void feed() {
        while (!_stopping) {
            WaitForSingleObject(_event, INFINITE);
            if (_stopping) break;
            std::lock_guard<std::mutex> lock(_mutex);
            if (!_started) continue;
            for (WAVEHDR& header : _headers) queue(header);
        }
    }

    std::shared_ptr<const PcmBuffer> _pcm;
    HWAVEOUT _device = nullptr;
    HANDLE _event = nullptr;
    std::array<WAVEHDR, kBuffers> _headers{};
    std::array<std::vector<char>, kBuffers> _memory{};
    std::thread _feeder;
    std::atomic<bool> _stopping{false};
    mutable std::mutex _mutex;
    // Guarded by _mutex: shared with the feeder thread.
    uint64_t _firstFrame = 0;  // the frame the device's position counts from
    uint64_t _nextFrame = 0;   // next frame to queue
    bool _started = false;
    bool _paused = false;
    uint64_t _reported = 0;  // keeps the position from running backwards
};

}  // namespace

bool startAudioSubsystem() {
    return true;
}

void stopAudioSubsystem() {}

int audioDeviceCount() {
    return static_cast<int>(waveOutGetNumDevs());
}

std::optional<std::string> audioDeviceName(int index) {
    if (index < 0 || index >= audioDeviceCount()) return std::nullopt;
    WAVEOUTCAPSW caps;
    if (waveOutGetDevCapsW(static_cast<UINT>(index), &caps, sizeof caps) != MMSYSERR_NOERROR)
        return std::nullopt;
    return win32::narrow(caps.szPname);
}

bool probeAudioDevice(const AudioDeviceChoice& device, int rate) {
    UINT id = WAVE_MAPPER;
    if (!deviceId(device, &id)) return false;
    WAVEFORMATEX format = waveFormat(rate, 2);
    HWAVEOUT probe = nullptr;
    if (waveOutOpen(&probe, id, &format, 0, 0, CALLBACK_NULL) != MMSYSERR_NOERROR) return false;
    waveOutClose(probe);
    return true;
}

std::unique_ptr<IPlayback> openDevicePlayback(const AudioDeviceChoice& device,
                                              std::shared_ptr<const PcmBuffer> pcm) {
    auto playback = std::make_unique<WaveOutPlayback>(std::move(pcm));
    if (!playback->open(device)) return nullptr;
    return playback;
}

}  // namespace platform
