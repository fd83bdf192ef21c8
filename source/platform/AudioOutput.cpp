#include "platform/AudioOutput.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <utility>

namespace platform {

namespace {

uint64_t framesAt(double seconds, int rate, uint64_t totalFrames, bool roundToNearest) {
    if (!(seconds > 0.0)) return 0;  // also NaN
    const double frames = seconds * rate;
    if (frames >= static_cast<double>(totalFrames)) return totalFrames;
    return static_cast<uint64_t>(roundToNearest ? std::llround(frames) : std::floor(frames));
}

class SilentPlayback : public IPlayback {
public:
    explicit SilentPlayback(std::shared_ptr<const PcmBuffer> pcm) : _pcm(std::move(pcm)) {}

    void start() override {
        _startTime = std::chrono::steady_clock::now();
        _startFrame = 0;
        _started = true;
    }
    bool started() const override { return _started; }
    uint64_t playedFrames() override {
        if (!_started) return 0;
        if (_paused) return _startFrame;
        const std::chrono::duration<double> elapsed = std::chrono::steady_clock::now() - _startTime;
        return std::min(_pcm->frames(), _startFrame + framesAt(elapsed.count(), _pcm->rate, _pcm->frames(), false));
    }
    void setPaused(bool paused) override {
        if (paused == _paused) return;
        // Position = the frame it was at when paused or sought, plus the time since.
        _startFrame = playedFrames();
        _startTime = std::chrono::steady_clock::now();
        _paused = paused;
    }
    void seek(uint64_t frame) override {
        _startFrame = std::min(frame, _pcm->frames());
        _startTime = std::chrono::steady_clock::now();
    }

private:
    std::shared_ptr<const PcmBuffer> _pcm;
    std::chrono::steady_clock::time_point _startTime{};
    uint64_t _startFrame = 0;
    bool _started = false;
    bool _paused = false;
};

class ManualPlayback : public IPlayback {
public:
    ManualPlayback(std::shared_ptr<const PcmBuffer> pcm, std::function<double()> manualSeconds)
        : _pcm(std::move(pcm)), _manualSeconds(std::move(manualSeconds)) {}

    void start() override {}
    bool started() const override { return true; }
    void setPaused(bool) override {}
    void seek(uint64_t) override {}
    uint64_t playedFrames() override {
        // Rounded, so times that are whole frames (2.5 s at 44100 Hz) land exactly on them.
        return framesAt(_manualSeconds(), _pcm->rate, _pcm->frames(), true);
    }

private:
    std::shared_ptr<const PcmBuffer> _pcm;
    std::function<double()> _manualSeconds;
};

}  // namespace

std::unique_ptr<IPlayback> makeSilentPlayback(std::shared_ptr<const PcmBuffer> pcm) {
    return std::make_unique<SilentPlayback>(std::move(pcm));
}

std::unique_ptr<IPlayback> makeManualPlayback(std::shared_ptr<const PcmBuffer> pcm,
                                              std::function<double()> manualSeconds) {
    return std::make_unique<ManualPlayback>(std::move(pcm), std::move(manualSeconds));
}

uint64_t smoothPlayedFrames(uint64_t framesAtCallback, uint64_t bufferFrames, double secondsSinceCallback,
                            int rate, uint64_t totalFrames) {
    const uint64_t sinceCallback = framesAt(secondsSinceCallback, rate, bufferFrames, false);
    return std::min(totalFrames, framesAtCallback + sinceCallback);
}

}  // namespace platform
