#include "SpanTag.h"

#include <cinttypes>
#include <cstdio>

const char* const kSpanTagKey = "halvane-span";

std::string SpanTag::settings() const {
    char text[112] = {};
    std::snprintf(text, sizeof text, "fps %d size %dx%d crf %d samples %d", span.fps, width, height, crf,
                  samples);
    return text;
}

std::string SpanTag::format() const {
    char text[160] = {};
    int length = std::snprintf(text, sizeof text, "frames %" PRId64 "-%" PRId64 " fps %d size %dx%d crf %d",
                               span.firstFrame, span.endFrame, span.fps, width, height, crf);
    if (samples != 1 || !content.empty())
        length += std::snprintf(text + length, sizeof text - length, " samples %d", samples);
    if (!content.empty()) std::snprintf(text + length, sizeof text - length, " content %s", content.c_str());
    return text;
}

std::optional<SpanTag> SpanTag::parse(const std::string& text) {
    SpanTag tag;
    int64_t first = 0, end = 0;
    int fps = 0, length = 0;
    if (std::sscanf(text.c_str(), "frames %" SCNd64 "-%" SCNd64 " fps %d size %dx%d crf %d%n", &first, &end,
                    &fps, &tag.width, &tag.height, &tag.crf, &length) != 6)
        return std::nullopt;
    size_t at = static_cast<size_t>(length);
    if (at < text.size()) {
        int more = 0;
        if (std::sscanf(text.c_str() + at, " samples %d%n", &tag.samples, &more) != 1 || more == 0)
            return std::nullopt;
        at += static_cast<size_t>(more);
    }
    if (at < text.size()) {
        char hex[17] = {};
        int more = 0;
        if (std::sscanf(text.c_str() + at, " content %16[0-9a-f]%n", hex, &more) != 1 || more == 0)
            return std::nullopt;
        tag.content = hex;
        at += static_cast<size_t>(more);
        if (tag.content.size() != 16) return std::nullopt;
    }
    if (at != text.size()) return std::nullopt;
    if (first < 0 || end <= first || fps <= 0 || tag.width <= 0 || tag.height <= 0 || tag.crf < 0 ||
        tag.samples < 1 || tag.samples > 64)
        return std::nullopt;
    tag.span.fps = fps;
    tag.span.firstFrame = first;
    tag.span.endFrame = end;
    return tag;
}
