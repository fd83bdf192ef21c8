// How a span is written: the tag's size, rate and quality, the music's format, and
// the tag itself in the file, so a capture and a join of the same span write alike.
#pragma once

#include "Mp4Writer.h"
#include "SpanTag.h"

#include "platform/Mp3Decoder.h"

Mp4Writer::Settings writerSettings(const SpanTag& tag, const platform::PcmBuffer& music);
