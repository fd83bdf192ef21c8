// The capture loop: film frames of a span drawn, read back and handed to an encoder
// thread, with the music under each frame.
//
// The GL thread draws frame n, starts its read-back and then collects frame n - 1
// (Readback), so drawing never waits for the encoder, and the encoder thread (fed
// through FrameQueue) encodes a frame and its share of the music while the next is
// drawn. The loop stops early, writing nothing more, when *stop becomes non-zero.
#pragma once

#include "CaptureSpan.h"

#include "platform/Mp3Decoder.h"

#include <csignal>
#include <string>

class FilmRenderer;
class Mp4Writer;
class Progress;

enum class CaptureResult { Done, Stopped, Failed };

// Every frame of `span` into `writer` (opened, not finished) with `music`'s samples;
// samples past the music's end are silence.
CaptureResult captureSpan(FilmRenderer& renderer, const CaptureSpan& span, const platform::PcmBuffer& music,
                          Mp4Writer& writer, Progress& progress, const volatile std::sig_atomic_t* stop,
                          std::string* why);

// Draws the span's frames and waits for each, reading nothing back: what the film costs to draw.
CaptureResult renderSpan(FilmRenderer& renderer, const CaptureSpan& span, Progress& progress,
                         const volatile std::sig_atomic_t* stop);
