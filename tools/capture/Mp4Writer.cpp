#include "Mp4Writer.h"

#include "AvError.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/audio_fifo.h>
#include <libavutil/channel_layout.h>
#include <libavutil/opt.h>
#include <libswresample/swresample.h>
#include <libswscale/swscale.h>
}

#include <algorithm>
#include <cstdint>
#include <numeric>
#include <vector>

namespace {

bool fail(std::string* why, const std::string& what, int error) {
    *why = what + ": " + describeAvError(error);
    return false;
}

}  // namespace

Mp4Writer::~Mp4Writer() { close(); }

void Mp4Writer::close() {
    if (_format != nullptr && _format->pb != nullptr) avio_closep(&_format->pb);
    avformat_free_context(_format);
    _format = nullptr;
    avcodec_free_context(&_video);
    avcodec_free_context(&_audio);
    av_frame_free(&_videoFrame);
    av_frame_free(&_audioFrame);
    av_packet_free(&_packet);
    if (_fifo != nullptr) av_audio_fifo_free(_fifo);
    _fifo = nullptr;
    sws_freeContext(_sws);
    _sws = nullptr;
    swr_free(&_swr);
}

bool Mp4Writer::create(const std::string& path, std::string* why) {
    // x264 reports its settings and statistics on every run; only errors are worth showing.
    av_log_set_level(AV_LOG_ERROR);
    // "file:" keeps a name with a colon from being read as another protocol.
    _url = "file:" + path;
    int error = avformat_alloc_output_context2(&_format, nullptr, "mp4", _url.c_str());
    if (error < 0) return fail(why, "cannot set up an MP4 file", error);
    for (const auto& [key, value] : _settings.metadata) av_dict_set(&_format->metadata, key.c_str(), value.c_str(), 0);
    _packet = av_packet_alloc();
    if (_packet == nullptr) return *why = "out of memory", false;
    return true;
}

bool Mp4Writer::addVideoEncoder(std::string* why) {
    const Settings& settings = _settings;
    const bool lossless = settings.crf == 0;
    const AVCodec* videoCodec = avcodec_find_encoder_by_name(lossless ? "libx264rgb" : "libx264");
    if (videoCodec == nullptr) return *why = "this FFmpeg has no x264 encoder", false;
    _video = avcodec_alloc_context3(videoCodec);
    _video->width = settings.width;
    _video->height = settings.height;
    _video->time_base = AVRational{1, settings.fps};
    _video->framerate = AVRational{settings.fps, 1};
    _video->sample_aspect_ratio = AVRational{1, 1};
    _video->pix_fmt = lossless ? AV_PIX_FMT_RGB24 : AV_PIX_FMT_YUV420P;
    if (!lossless) {
        _video->color_range = AVCOL_RANGE_MPEG;
        _video->colorspace = AVCOL_SPC_BT709;
        _video->color_primaries = AVCOL_PRI_BT709;
        _video->color_trc = AVCOL_TRC_BT709;
    }
    if ((_format->oformat->flags & AVFMT_GLOBALHEADER) != 0) _video->flags |= AV_CODEC_FLAG_GLOBAL_HEADER;
    AVDictionary* videoOptions = nullptr;
    av_dict_set(&videoOptions, "preset", "medium", 0);
    if (lossless)
        av_dict_set(&videoOptions, "qp", "0", 0);
    else
        av_dict_set_int(&videoOptions, "crf", settings.crf, 0);
    int error = avcodec_open2(_video, videoCodec, &videoOptions);
    av_dict_free(&videoOptions);
    if (error < 0) return fail(why, "cannot open the H.264 encoder", error);
    _videoStream = avformat_new_stream(_format, nullptr);
    avcodec_parameters_from_context(_videoStream->codecpar, _video);
    _videoStream->time_base = _video->time_base;
    _videoStream->avg_frame_rate = _video->framerate;

    _sws = sws_getContext(settings.width, settings.height, AV_PIX_FMT_RGBA, settings.width, settings.height,
                          _video->pix_fmt, SWS_BICUBIC | SWS_ACCURATE_RND | SWS_FULL_CHR_H_INP, nullptr, nullptr,
                          nullptr);
    if (_sws == nullptr) return *why = "cannot set up the colour conversion", false;
    if (!lossless) {
        const int* bt709 = sws_getCoefficients(SWS_CS_ITU709);
        sws_setColorspaceDetails(_sws, bt709, 1, bt709, 0, 0, 1 << 16, 1 << 16);
    }
    _videoFrame = av_frame_alloc();
    if (_videoFrame == nullptr) return *why = "out of memory", false;
    _videoFrame->format = _video->pix_fmt;
    _videoFrame->width = settings.width;
    _videoFrame->height = settings.height;
    if (av_frame_get_buffer(_videoFrame, 0) < 0) return *why = "out of memory", false;
    return true;
}

bool Mp4Writer::addAudioEncoder(std::string* why) {
    const Settings& settings = _settings;
    const AVCodec* audioCodec = avcodec_find_encoder(AV_CODEC_ID_AAC);
    if (audioCodec == nullptr) return *why = "this FFmpeg has no AAC encoder", false;
    _audio = avcodec_alloc_context3(audioCodec);
    _audio->sample_fmt = AV_SAMPLE_FMT_FLTP;
    _audio->sample_rate = settings.sampleRate;
    av_channel_layout_default(&_audio->ch_layout, settings.channels);
    _audio->bit_rate = 128000 * settings.channels;
    _audio->time_base = AVRational{1, settings.sampleRate};
    if ((_format->oformat->flags & AVFMT_GLOBALHEADER) != 0) _audio->flags |= AV_CODEC_FLAG_GLOBAL_HEADER;
    int error = avcodec_open2(_audio, audioCodec, nullptr);
    if (error < 0) return fail(why, "cannot open the AAC encoder", error);
    _audioStream = avformat_new_stream(_format, nullptr);
    avcodec_parameters_from_context(_audioStream->codecpar, _audio);
    _audioStream->time_base = _audio->time_base;

    AVChannelLayout layout = {};
    av_channel_layout_default(&layout, settings.channels);
    error = swr_alloc_set_opts2(&_swr, &layout, AV_SAMPLE_FMT_FLTP, settings.sampleRate, &layout, AV_SAMPLE_FMT_S16,
                                settings.sampleRate, 0, nullptr);
    if (error >= 0) error = swr_init(_swr);
    if (error < 0) return fail(why, "cannot set up the sample conversion", error);
    _fifo = av_audio_fifo_alloc(AV_SAMPLE_FMT_FLTP, settings.channels, 4 * _audio->frame_size);
    _audioFrame = av_frame_alloc();
    if (_fifo == nullptr || _audioFrame == nullptr) return *why = "out of memory", false;
    return true;
}

bool Mp4Writer::writeHeader(const std::string& path, std::string* why) {
    int error = avio_open(&_format->pb, _url.c_str(), AVIO_FLAG_WRITE);
    if (error < 0) return fail(why, "cannot create " + path, error);
    AVDictionary* muxOptions = nullptr;
    // The index goes to the front at the end, so a player can start before it has the whole file;
    // metadata keys of our own are kept as they are named.
    av_dict_set(&muxOptions, "movflags", "+faststart+use_metadata_tags", 0);
    // Durations in the file's own units (the edit lists) exact to a sample and a frame, not to a millisecond.
    const int64_t timescale = std::lcm<int64_t>(_settings.fps, _settings.sampleRate);
    if (timescale <= INT32_MAX / 16) av_dict_set_int(&muxOptions, "movie_timescale", timescale, 0);
    error = avformat_write_header(_format, &muxOptions);
    av_dict_free(&muxOptions);
    if (error < 0) return fail(why, "cannot write " + path, error);
    _headerWritten = true;
    return true;
}

bool Mp4Writer::open(const std::string& path, const Settings& settings, std::string* why) {
    _settings = settings;
    return create(path, why) && addVideoEncoder(why) && addAudioEncoder(why) && writeHeader(path, why);
}

bool Mp4Writer::openCopying(const std::string& path, const Settings& settings, const AVCodecParameters* video,
                            std::string* why) {
    _settings = settings;
    if (!create(path, why)) return false;
    _videoStream = avformat_new_stream(_format, nullptr);
    if (_videoStream == nullptr || avcodec_parameters_copy(_videoStream->codecpar, video) < 0)
        return *why = "out of memory", false;
    // The source's tag belongs to its container; the muxer picks the one for MP4.
    _videoStream->codecpar->codec_tag = 0;
    _videoStream->time_base = AVRational{1, settings.fps};
    _videoStream->avg_frame_rate = AVRational{settings.fps, 1};
    return addAudioEncoder(why) && writeHeader(path, why);
}

bool Mp4Writer::encode(AVCodecContext* codec, AVStream* stream, AVFrame* frame, std::string* why) {
    int error = avcodec_send_frame(codec, frame);
    if (error < 0) return fail(why, "cannot encode", error);
    for (;;) {
        error = avcodec_receive_packet(codec, _packet);
        if (error == AVERROR(EAGAIN) || error == AVERROR_EOF) return true;
        if (error < 0) return fail(why, "cannot encode", error);
        av_packet_rescale_ts(_packet, codec->time_base, stream->time_base);
        _packet->stream_index = stream->index;
        error = av_interleaved_write_frame(_format, _packet);
        if (error < 0) return fail(why, "cannot write the file", error);
    }
}

bool Mp4Writer::addVideoFrame(const uint8_t* rgba, std::string* why) {
    int error = av_frame_make_writable(_videoFrame);
    if (error < 0) return fail(why, "cannot encode", error);
    const uint8_t* source[1] = {rgba};
    const int stride[1] = {4 * _settings.width};
    sws_scale(_sws, source, stride, 0, _settings.height, _videoFrame->data, _videoFrame->linesize);
    _videoFrame->pts = _videoFrames++;
    return encode(_video, _videoStream, _videoFrame, why);
}

bool Mp4Writer::addVideoPacket(AVPacket* packet, std::string* why) {
    av_packet_rescale_ts(packet, AVRational{1, _settings.fps}, _videoStream->time_base);
    packet->stream_index = _videoStream->index;
    const int error = av_interleaved_write_frame(_format, packet);
    if (error < 0) return fail(why, "cannot write the file", error);
    return true;
}

bool Mp4Writer::addAudio(const int16_t* interleaved, int frames, std::string* why) {
    if (frames <= 0) return true;
    std::vector<float> planes(static_cast<size_t>(frames) * _settings.channels);
    std::vector<uint8_t*> out(_settings.channels);
    for (int c = 0; c < _settings.channels; ++c)
        out[c] = reinterpret_cast<uint8_t*>(planes.data() + static_cast<size_t>(c) * frames);
    const uint8_t* in[1] = {reinterpret_cast<const uint8_t*>(interleaved)};
    // Same rate on both sides: every sample comes out at once, none is held back.
    int converted = swr_convert(_swr, out.data(), frames, in, frames);
    if (converted < 0) return fail(why, "cannot convert the music", converted);
    if (av_audio_fifo_write(_fifo, reinterpret_cast<void**>(out.data()), converted) < converted)
        return *why = "out of memory", false;
    return encodeAudioFrames(false, why);
}

bool Mp4Writer::encodeAudioFrames(bool flushAll, std::string* why) {
    const int frameSize = _audio->frame_size;
    while (av_audio_fifo_size(_fifo) >= frameSize || (flushAll && av_audio_fifo_size(_fifo) > 0)) {
        const int count = std::min(frameSize, av_audio_fifo_size(_fifo));
        av_frame_unref(_audioFrame);
        _audioFrame->nb_samples = count;
        _audioFrame->format = _audio->sample_fmt;
        _audioFrame->sample_rate = _audio->sample_rate;
        av_channel_layout_copy(&_audioFrame->ch_layout, &_audio->ch_layout);
        int error = av_frame_get_buffer(_audioFrame, 0);
        if (error < 0) return fail(why, "cannot encode", error);
        av_audio_fifo_read(_fifo, reinterpret_cast<void**>(_audioFrame->data), count);
        _audioFrame->pts = _audioSamples;
        _audioSamples += count;
        if (!encode(_audio, _audioStream, _audioFrame, why)) return false;
    }
    return true;
}

bool Mp4Writer::finish(std::string* why) {
    if (!_headerWritten) return *why = "the file was never opened", false;
    if (!encodeAudioFrames(true, why)) return false;
    if (!encode(_audio, _audioStream, nullptr, why)) return false;
    if (_video != nullptr && !encode(_video, _videoStream, nullptr, why)) return false;
    int error = av_write_trailer(_format);
    if (error < 0) return fail(why, "cannot finish the file", error);
    error = avio_closep(&_format->pb);
    if (error < 0) return fail(why, "cannot close the file", error);
    close();
    return true;
}
