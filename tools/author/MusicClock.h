// The transport's view of the music: where it is, and pausing and moving it.
// The authoring tool's clock is the music stream (BassClock); tests use their own.
#pragma once

class MusicClock {
public:
    virtual ~MusicClock() = default;
    virtual double seconds() = 0;
    virtual void setPaused(bool paused) = 0;
    virtual void seek(double seconds) = 0;
};
