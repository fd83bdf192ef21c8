// Which frames and which music samples a capture holds.
//
// Frames lie on the film's own grid: film frame n shows time n / fps, and a span
// [from, to) holds the frames with from <= n / fps < to. Video frame k of a span that
// starts on the grid therefore shows from + k / fps, and two spans that meet at a grid
// time hold exactly the frames of the span they cover together: the same n gives the
// same time, so the same pixels. Frame n's sound is the music's samples
// [sampleAt(n), sampleAt(n + 1)), so spans that meet also meet sample for sample.
#pragma once

#include <cmath>
#include <cstdint>

struct CaptureSpan {
    int fps = 60;
    int64_t firstFrame = 0;
    int64_t endFrame = 0;  // one past the last

    // A hair below a grid time counts as on it, so decimal times name their frame.
    static CaptureSpan of(double from, double to, int fps) {
        CaptureSpan span;
        span.fps = fps;
        span.firstFrame = static_cast<int64_t>(std::ceil(from * fps - 1e-6));
        span.endFrame = static_cast<int64_t>(std::ceil(to * fps - 1e-6));
        return span;
    }

    int64_t frames() const { return endFrame - firstFrame; }
    double timeOf(int64_t frame) const { return static_cast<double>(frame) / fps; }
    double seconds() const { return static_cast<double>(frames()) / fps; }

    // The first sample of film frame n at `rate` samples per second (rounded to nearest).
    int64_t sampleAt(int64_t frame, int rate) const { return (2 * frame * rate + fps) / (2 * fps); }
};
