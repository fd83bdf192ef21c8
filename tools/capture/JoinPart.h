// One part of a join: a finished capture, opened to read back its span tag, its
// H.264 parameters and its video packets as they are stored.
#pragma once

#include "SpanTag.h"

#include <cstdint>
#include <string>

struct AVFormatContext;
struct AVCodecParameters;
struct AVPacket;

class JoinPart {
public:
    explicit JoinPart(std::string path) : _path(std::move(path)) {}
    ~JoinPart();
    JoinPart(const JoinPart&) = delete;
    JoinPart& operator=(const JoinPart&) = delete;

    // False, with a reason naming the file, for anything that is not a capture with H.264 video.
    bool open(std::string* why);

    const std::string& path() const { return _path; }
    const SpanTag& tag() const { return _tag; }
    const AVCodecParameters* video() const;

    // The next video packet, timestamps in frames from the part's first frame, in the
    // order they are stored (decoding order). False at the end with `why` left empty,
    // or on a read failure with the reason.
    bool nextVideoPacket(AVPacket* packet, std::string* why);

private:
    std::string _path;
    AVFormatContext* _format = nullptr;
    int _stream = -1;
    SpanTag _tag;
};
