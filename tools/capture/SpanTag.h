// What a capture says about itself in its file, so that parts can be joined safely.
//
// One format-level metadata entry under kSpanTagKey, e.g.
//   "frames 0-15 fps 15 size 160x100 crf 18"
// The frames are film frame indices on the grid at that rate (CaptureSpan), so the
// span is exact: two parts meet when one's end is the other's first frame.
#pragma once

#include "CaptureSpan.h"

#include <optional>
#include <string>

struct SpanTag {
    CaptureSpan span;
    int width = 0;
    int height = 0;
    int crf = 0;

    std::string format() const;
    // Nothing for text that is not a well-formed tag.
    static std::optional<SpanTag> parse(const std::string& text);
    // The settings that must agree for two parts to join ("fps 15 size 160x100 crf 18").
    std::string settings() const;
};

extern const char* const kSpanTagKey;
