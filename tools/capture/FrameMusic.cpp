#include "FrameMusic.h"

#include "Mp4Writer.h"

#include <algorithm>

bool FrameMusic::add(const CaptureSpan& span, int64_t frame, Mp4Writer& writer, std::string* why) {
    const int64_t begin = span.sampleAt(frame, _music.rate);
    const int64_t end = span.sampleAt(frame + 1, _music.rate);
    const int64_t channels = _music.channels;
    _samples.assign(static_cast<size_t>((end - begin) * channels), 0);
    const int64_t available = std::min<int64_t>(end, static_cast<int64_t>(_music.frames()));
    if (available > begin)
        std::copy(_music.samples.begin() + begin * channels, _music.samples.begin() + available * channels,
                  _samples.begin());
    return writer.addAudio(_samples.data(), static_cast<int>(end - begin), why);
}
