#include "SpanTag.h"

#include <cinttypes>
#include <cstdio>

const char* const kSpanTagKey = "halvane-span";

std::string SpanTag::settings() const {
    char text[96] = {};
    std::snprintf(text, sizeof text, "fps %d size %dx%d crf %d", span.fps, width, height, crf);
    return text;
}

std::string SpanTag::format() const {
    char text[64] = {};
    std::snprintf(text, sizeof text, "frames %" PRId64 "-%" PRId64 " ", span.firstFrame, span.endFrame);
    return text + settings();
}

std::optional<SpanTag> SpanTag::parse(const std::string& text) {
    SpanTag tag;
    int64_t first = 0, end = 0;
    int fps = 0, length = 0;
    if (std::sscanf(text.c_str(), "frames %" SCNd64 "-%" SCNd64 " fps %d size %dx%d crf %d%n", &first, &end, &fps,
                    &tag.width, &tag.height, &tag.crf, &length) != 6 ||
        static_cast<size_t>(length) != text.size())
        return std::nullopt;
    if (first < 0 || end <= first || fps <= 0 || tag.width <= 0 || tag.height <= 0 || tag.crf < 0)
        return std::nullopt;
    tag.span.fps = fps;
    tag.span.firstFrame = first;
    tag.span.endFrame = end;
    return tag;
}
