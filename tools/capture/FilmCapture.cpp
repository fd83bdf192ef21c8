#include "FilmCapture.h"

#include "FilmRenderer.h"
#include "FrameMusic.h"
#include "FrameQueue.h"
#include "Mp4Writer.h"
#include "Progress.h"
#include "Readback.h"

#include <GL/glew.h>

#include <algorithm>
#include <atomic>
#include <exception>
#include <thread>
#include <vector>

namespace {

// Enough for the encoder to absorb an uneven frame without holding up the renderer.
constexpr size_t kQueuedFrames = 4;

}  // namespace

CaptureResult captureSpan(FilmRenderer& renderer, const CaptureSpan& span, const platform::PcmBuffer& music,
                          Mp4Writer& writer, Progress& progress, const volatile std::sig_atomic_t* stop,
                          std::string* why) {
    const size_t frameBytes = static_cast<size_t>(renderer.width()) * renderer.height() * 4;
    FrameQueue queue(kQueuedFrames, frameBytes);
    std::atomic<bool> failed{false};
    std::atomic<bool> abandon{false};
    std::string encoderWhy;

    std::thread encoder([&] {
        FrameMusic sound(music);
        while (QueuedFrame* frame = queue.pop()) {
            if (!failed && !abandon) {
                if (!writer.addVideoFrame(frame->pixels.data(), &encoderWhy) ||
                    !sound.add(span, frame->index, writer, &encoderWhy)) {
                    failed = true;
                    queue.close();
                }
            }
            queue.release(frame);
        }
    });

    Readback readback(renderer.width(), renderer.height());
    bool stopped = false;
    bool lostFrame = false;
    int64_t collected = 0;
    // Hands frame n (read back into `slot`) to the encoder.
    auto collect = [&](int64_t n, int slot) {
        QueuedFrame* frame = queue.acquire();
        if (frame == nullptr) return false;
        frame->index = n;
        if (!readback.collect(slot, frame->pixels.data())) {
            lostFrame = true;
            queue.release(frame);
            return false;
        }
        queue.push(frame);
        progress.update(++collected);
        return true;
    };
    // A scene that throws (a texture gone, a shader broken) must not leave the encoder thread running.
    std::string drawWhy;
    try {
        for (int64_t n = span.firstFrame; n < span.endFrame; ++n) {
            if (*stop != 0) {
                stopped = true;
                break;
            }
            const int64_t k = n - span.firstFrame;
            renderer.renderAt(span.timeOf(n));
            readback.start(static_cast<int>(k % Readback::kSlots));
            if (k > 0 && !collect(n - 1, static_cast<int>((k - 1) % Readback::kSlots))) break;
        }
    } catch (const std::exception& error) {
        drawWhy = error.what();
    }
    const bool allDrawn = !stopped && !failed && !lostFrame && drawWhy.empty();
    if (allDrawn && span.frames() > 0)
        collect(span.endFrame - 1, static_cast<int>((span.frames() - 1) % Readback::kSlots));
    if (!allDrawn || lostFrame) abandon = true;
    queue.close();
    encoder.join();

    if (!drawWhy.empty()) return *why = drawWhy, CaptureResult::Failed;
    if (failed) return *why = encoderWhy, CaptureResult::Failed;
    if (lostFrame) return *why = "cannot read a frame back from GL", CaptureResult::Failed;
    if (stopped) return CaptureResult::Stopped;
    progress.finish(collected);
    return CaptureResult::Done;
}

CaptureResult renderSpan(FilmRenderer& renderer, const CaptureSpan& span, Progress& progress,
                         const volatile std::sig_atomic_t* stop) {
    int64_t done = 0;
    for (int64_t n = span.firstFrame; n < span.endFrame; ++n) {
        if (*stop != 0) return CaptureResult::Stopped;
        renderer.renderAt(span.timeOf(n));
        glFinish();
        progress.update(++done);
    }
    progress.finish(done);
    return CaptureResult::Done;
}
