// The music stream as the transport's clock (see platform/Bass.h for pausing and seeking).
#pragma once

#include "MusicClock.h"

#include "platform/Bass.h"

class BassClock : public MusicClock {
public:
    explicit BassClock(HSTREAM stream) : _stream(stream) {}
    double seconds() override {
        return BASS_ChannelBytes2Seconds(_stream, BASS_ChannelGetPosition(_stream, BASS_POS_BYTE));
    }
    void setPaused(bool paused) override { bassPause(_stream, paused); }
    void seek(double seconds) override { bassSeek(_stream, seconds); }

private:
    HSTREAM _stream = 0;
};
