// The music clock.
//
// The music's playing position is the presentation's only clock: seconds for the
// frame time and 16 sync rows per second for the sync tracks. openMusic() starts
// the audio output and creates the stream from "./data/music.mp3"; starting,
// testing and freeing it is the driver's business (Bass.h calls on musicStream).
#pragma once

#include "platform/Bass.h"

extern HSTREAM musicStream;

extern const char* const kMusicFile;
constexpr double kRowsPerSecond = 16.0;

// Without an audio output shows "Could not open ./data/music.mp3.", frees the
// library and ends the process with status 1. A missing, unreadable or undecodable
// file is shown as "Could not open ./data/music.mp3: " and the reason, and ends the
// process with status 1 too. A missing sound device is no failure: the output is
// then silent and keeps real time.
void openMusic();
// Starts decoding the music file on another thread, so that openMusic() later only
// waits for what is left of it; every failure is still found and shown by openMusic().
// Once started, calling it again before openMusic() does nothing.
void prepareMusic();

double musicSeconds();
// Fractional; not rounded.
double musicRow();
