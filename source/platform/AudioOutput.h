// Where a stream's played position comes from.
//
// A stream is decoded up front; an IPlayback then tells how much of it has been
// played. Three kinds exist: a sound device fed from SDL's audio thread
// (AudioDevice.h), a silent output that follows the steady clock (for machines
// without a sound card) and a manual clock set by the caller (for rendering frames
// at chosen times). Every kind reports whole frames, never more than the stream
// holds, and never less than it reported before unless the stream is restarted.
#pragma once

#include "platform/Mp3Decoder.h"

#include <cstdint>
#include <functional>
#include <memory>

namespace platform {

class IPlayback {
public:
    virtual ~IPlayback() = default;
    // Plays from the first frame, also when already playing or finished.
    virtual void start() = 0;
    virtual bool started() const = 0;
    virtual uint64_t playedFrames() = 0;
    // For the authoring tool: a paused output holds its position; a seek plays on from
    // `frame` (clamped to the stream). The manual clock ignores both: its caller owns the time.
    virtual void setPaused(bool paused) = 0;
    virtual void seek(uint64_t frame) = 0;
};

// Position = time since start() on std::chrono::steady_clock.
std::unique_ptr<IPlayback> makeSilentPlayback(std::shared_ptr<const PcmBuffer> pcm);

// Position = manualSeconds() rounded to the nearest frame and clamped to the stream.
// Counts as started from creation: the caller owns the time, start() changes nothing.
std::unique_ptr<IPlayback> makeManualPlayback(std::shared_ptr<const PcmBuffer> pcm,
                                              std::function<double()> manualSeconds);

// Played position of a callback-driven output between two callbacks: the first frame
// of the buffer handed out at the last callback, plus the time since that callback,
// at most one buffer, never beyond the stream.
uint64_t smoothPlayedFrames(uint64_t framesAtCallback, uint64_t bufferFrames, double secondsSinceCallback,
                            int rate, uint64_t totalFrames);

}  // namespace platform
