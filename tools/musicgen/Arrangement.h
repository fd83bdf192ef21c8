// The piece itself: "Halvane", D minor, 120 BPM, 84 bars plus a decay tail.
//
// Sections by bar, which the film is cut to:
//   0-8 intro (pads, bell), 8-24 build (bass and hats, kick from 16, rising filter),
//   24-48 main (four-on-the-floor, lead), 48-56 break (no drums, bell motif),
//   56-76 finale (full energy, lead variation, extra layers), 76-84 outro (no kick,
//   final motif, fade to silence).
#pragma once

#include "Song.h"

namespace music {

struct Section {
    const char* name;
    int firstBar;
    int endBar;  // exclusive
};

constexpr Section kSections[] = {{"intro", 0, 8},   {"build", 8, 24},   {"main", 24, 48},
                                 {"break", 48, 56}, {"finale", 56, 76}, {"outro", 76, 84}};

Song buildSong();

}  // namespace music
