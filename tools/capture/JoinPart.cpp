#include "JoinPart.h"

#include "AvError.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
}

#include <optional>

JoinPart::~JoinPart() { avformat_close_input(&_format); }

const AVCodecParameters* JoinPart::video() const { return _format->streams[_stream]->codecpar; }

bool JoinPart::open(std::string* why) {
    av_log_set_level(AV_LOG_ERROR);
    const std::string url = "file:" + _path;
    int error = avformat_open_input(&_format, url.c_str(), nullptr, nullptr);
    if (error < 0) return *why = "cannot read " + _path + ": " + describeAvError(error), false;
    const AVDictionaryEntry* entry = av_dict_get(_format->metadata, kSpanTagKey, nullptr, 0);
    const std::optional<SpanTag> tag = entry != nullptr ? SpanTag::parse(entry->value) : std::nullopt;
    if (!tag) return *why = _path + " does not say which span it holds: not a capture of halvane-capture", false;
    _tag = *tag;
    _stream = av_find_best_stream(_format, AVMEDIA_TYPE_VIDEO, -1, -1, nullptr, 0);
    if (_stream < 0 || video()->codec_id != AV_CODEC_ID_H264) return *why = _path + " holds no H.264 video", false;
    const AVStream* stream = _format->streams[_stream];
    if (video()->width != _tag.width || video()->height != _tag.height || stream->nb_frames != _tag.span.frames())
        return *why = _path + "'s video is not the " + _tag.format() + " its tag names", false;
    return true;
}

bool JoinPart::nextVideoPacket(AVPacket* packet, std::string* why) {
    for (;;) {
        const int error = av_read_frame(_format, packet);
        if (error == AVERROR_EOF) return false;
        if (error < 0) return *why = "cannot read " + _path + ": " + describeAvError(error), false;
        if (packet->stream_index == _stream) break;
        av_packet_unref(packet);
    }
    av_packet_rescale_ts(packet, _format->streams[_stream]->time_base, AVRational{1, _tag.span.fps});
    return true;
}
