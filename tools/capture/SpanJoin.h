// Joining captured parts into the capture of the span they cover together.
//
// Parts join when they were captured with the same settings, from the same film content
// (their tags' fingerprints) and with the same H.264 parameters,
// and each starts on the frame grid exactly where the one before ends. The joined
// file's video is the parts' packets unchanged, each part's timestamps moved on by
// the frames before it; its sound is made once for the whole span, through the same
// FrameMusic a capture of that span uses, so it has no priming or padding at the
// seams and is what that capture has, sample for sample.
#pragma once

#include "FilmCapture.h"
#include "SpanTag.h"

#include "platform/Mp3Decoder.h"

#include <csignal>
#include <memory>
#include <string>
#include <vector>

class JoinPart;
class Mp4Writer;
class Progress;

// False with a message naming the parts for settings that differ, a gap or an overlap.
bool checkJoin(const std::vector<std::unique_ptr<JoinPart>>& parts, std::string* why);

// The tag of the joined span (of parts that passed checkJoin).
SpanTag joinedTag(const std::vector<std::unique_ptr<JoinPart>>& parts);

// Every part's video packets and the joined span's music into `writer` (opened
// copying the parts' video, not finished). Stops early when *stop becomes non-zero.
CaptureResult joinParts(const std::vector<std::unique_ptr<JoinPart>>& parts, const platform::PcmBuffer& music,
                        Mp4Writer& writer, Progress& progress, const volatile std::sig_atomic_t* stop,
                        std::string* why);
