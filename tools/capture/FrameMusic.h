// The music under film frames, handed to a writer frame by frame.
//
// Film frame n gets the music's samples [sampleAt(n), sampleAt(n + 1)) (CaptureSpan),
// silence past the music's end. A capture and a join of the same span both feed
// their writer through this, so their sound is the same sample for sample.
#pragma once

#include "CaptureSpan.h"

#include "platform/Mp3Decoder.h"

#include <cstdint>
#include <string>
#include <vector>

class Mp4Writer;

class FrameMusic {
public:
    explicit FrameMusic(const platform::PcmBuffer& music) : _music(music) {}

    bool add(const CaptureSpan& span, int64_t frame, Mp4Writer& writer, std::string* why);

private:
    const platform::PcmBuffer& _music;
    std::vector<int16_t> _samples;
};
