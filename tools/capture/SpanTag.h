// What a capture says about itself in its file, so that parts can be joined safely.
//
// One format-level metadata entry under kSpanTagKey, e.g.
//   "frames 0-15 fps 15 size 160x100 crf 18 samples 4 content 0f3a59c2d1e8b746"
// The frames are film frame indices on the grid at that rate (CaptureSpan), so the
// span is exact: two parts meet when one's end is the other's first frame. "samples"
// is the renders averaged into each frame; "content" the fingerprint of the film's
// files the part was drawn from (ContentFingerprint). Tags written before either
// existed ("... crf 18") still read back, as one sample and no fingerprint, and a tag
// without them is written that way again.
#pragma once

#include "CaptureSpan.h"

#include <optional>
#include <string>

struct SpanTag {
    CaptureSpan span;
    int width = 0;
    int height = 0;
    int crf = 0;
    int samples = 1;
    std::string content;  // 16 hex digits, or empty when the part does not say

    std::string format() const;
    // Nothing for text that is not a well-formed tag.
    static std::optional<SpanTag> parse(const std::string& text);
    // The settings that must agree for two parts to join ("fps 15 size 160x100 crf 18 samples 1").
    std::string settings() const;
};

extern const char* const kSpanTagKey;
