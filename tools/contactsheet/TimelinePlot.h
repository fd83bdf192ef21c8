// Plots every sync track of a timeline over the film's time: one band per track, scaled
// to the track's own range, with bar lines and the music's section names on top.
#pragma once

#include "PngWriter.h"
#include "TextRenderer.h"
#include "Timeline.h"

#include <string>
#include <vector>

namespace art {

struct Section {
    std::string name;
    int firstBar = 0;
    int endBar = 0;  // exclusive
};

Image plotTimeline(const synctrack::Timeline& timeline, const std::vector<Section>& sections,
                   TextRenderer& font);

}  // namespace art
