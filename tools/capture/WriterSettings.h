// How a span is written: the tag's size, rate and quality, the music's format, and
// the tag itself in the file, so a capture and a join of the same span write alike;
// and the version of the program that wrote the file.
#pragma once

#include "Mp4Writer.h"
#include "SpanTag.h"

#include "platform/Mp3Decoder.h"

// The metadata entry that holds the version, e.g. "1.0.0+gabc1234".
inline constexpr const char* kVersionTagKey = "halvane-version";

Mp4Writer::Settings writerSettings(const SpanTag& tag, const platform::PcmBuffer& music);
