#include "WriterSettings.h"

#include "cpp/Version.h"

Mp4Writer::Settings writerSettings(const SpanTag& tag, const platform::PcmBuffer& music) {
    Mp4Writer::Settings settings;
    settings.width = tag.width;
    settings.height = tag.height;
    settings.fps = tag.span.fps;
    settings.crf = tag.crf;
    settings.sampleRate = music.rate;
    settings.channels = music.channels;
    settings.metadata.emplace_back(kSpanTagKey, tag.format());
    // Which build made the file, beside the span (which says what the file holds).
    settings.metadata.emplace_back(kVersionTagKey, halvaneVersion());
    return settings;
}
