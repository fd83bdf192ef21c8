#include "MediaDecoder.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/pixdesc.h>
#include <libswscale/swscale.h>
}

#include <memory>

namespace {

struct Input {
    AVFormatContext* format = nullptr;
    AVCodecContext* video = nullptr;
    AVCodecContext* audio = nullptr;
    SwsContext* sws = nullptr;
    AVPacket* packet = av_packet_alloc();
    AVFrame* frame = av_frame_alloc();
    ~Input() {
        avformat_close_input(&format);
        avcodec_free_context(&video);
        avcodec_free_context(&audio);
        sws_freeContext(sws);
        av_packet_free(&packet);
        av_frame_free(&frame);
    }
};

AVCodecContext* openDecoder(const AVStream* stream) {
    const AVCodec* codec = avcodec_find_decoder(stream->codecpar->codec_id);
    if (codec == nullptr) return nullptr;
    AVCodecContext* context = avcodec_alloc_context3(codec);
    avcodec_parameters_to_context(context, stream->codecpar);
    context->pkt_timebase = stream->time_base;
    if (avcodec_open2(context, codec, nullptr) < 0) avcodec_free_context(&context);
    return context;
}

void takeVideo(Input& in, const AVStream* stream, DecodedMedia* media) {
    AVFrame* f = in.frame;
    in.sws = sws_getCachedContext(in.sws, f->width, f->height, static_cast<AVPixelFormat>(f->format), f->width,
                                  f->height, AV_PIX_FMT_RGB24, SWS_POINT | SWS_ACCURATE_RND, nullptr, nullptr,
                                  nullptr);
    std::vector<uint8_t> rgb(static_cast<size_t>(f->width) * f->height * 3);
    uint8_t* out[1] = {rgb.data()};
    const int stride[1] = {3 * f->width};
    sws_scale(in.sws, f->data, f->linesize, 0, f->height, out, stride);
    media->frames.push_back(std::move(rgb));
    media->frameTimes.push_back(static_cast<double>(f->best_effort_timestamp) * av_q2d(stream->time_base));
}

void takeAudio(const AVFrame* f, DecodedMedia* media) {
    const int channels = f->ch_layout.nb_channels;
    for (int i = 0; i < f->nb_samples; ++i)
        for (int c = 0; c < channels; ++c) media->samples.push_back(reinterpret_cast<const float*>(f->data[c])[i]);
}

}  // namespace

bool decodeMedia(const std::string& path, const std::string& format, DecodedMedia* media, std::string* why) {
    Input in;
    AVDictionary* options = nullptr;
    if (format == "concat") av_dict_set(&options, "safe", "0", 0);
    const AVInputFormat* demuxer = format.empty() ? nullptr : av_find_input_format(format.c_str());
    int error = avformat_open_input(&in.format, path.c_str(), demuxer, &options);
    av_dict_free(&options);
    if (error < 0) return *why = "cannot open " + path, false;
    if (avformat_find_stream_info(in.format, nullptr) < 0) return *why = "no stream info in " + path, false;
    const int videoIndex = av_find_best_stream(in.format, AVMEDIA_TYPE_VIDEO, -1, -1, nullptr, 0);
    const int audioIndex = av_find_best_stream(in.format, AVMEDIA_TYPE_AUDIO, -1, -1, nullptr, 0);
    if (videoIndex < 0 || audioIndex < 0) return *why = "no video and audio in " + path, false;
    const AVStream* videoStream = in.format->streams[videoIndex];
    const AVStream* audioStream = in.format->streams[audioIndex];
    in.video = openDecoder(videoStream);
    in.audio = openDecoder(audioStream);
    if (in.video == nullptr || in.audio == nullptr) return *why = "no decoder for " + path, false;

    media->videoCodec = avcodec_get_name(videoStream->codecpar->codec_id);
    const char* pixelFormat = av_get_pix_fmt_name(static_cast<AVPixelFormat>(videoStream->codecpar->format));
    media->pixelFormat = pixelFormat != nullptr ? pixelFormat : "";
    media->width = videoStream->codecpar->width;
    media->height = videoStream->codecpar->height;
    media->rateNum = videoStream->avg_frame_rate.num;
    media->rateDen = videoStream->avg_frame_rate.den;
    media->sampleRate = audioStream->codecpar->sample_rate;
    media->channels = audioStream->codecpar->ch_layout.nb_channels;
    if (audioStream->duration != AV_NOPTS_VALUE)
        media->statedSamples = av_rescale_q(audioStream->duration, audioStream->time_base, AVRational{1, media->sampleRate});

    auto drain = [&](AVCodecContext* decoder, bool isVideo) {
        while (avcodec_receive_frame(decoder, in.frame) >= 0) {
            if (isVideo)
                takeVideo(in, videoStream, media);
            else
                takeAudio(in.frame, media);
            av_frame_unref(in.frame);
        }
    };
    while (av_read_frame(in.format, in.packet) >= 0) {
        const bool isVideo = in.packet->stream_index == videoIndex;
        if (isVideo || in.packet->stream_index == audioIndex) {
            AVCodecContext* decoder = isVideo ? in.video : in.audio;
            if (avcodec_send_packet(decoder, in.packet) < 0) return *why = "cannot decode " + path, false;
            drain(decoder, isVideo);
        }
        av_packet_unref(in.packet);
    }
    avcodec_send_packet(in.video, nullptr);
    drain(in.video, true);
    avcodec_send_packet(in.audio, nullptr);
    drain(in.audio, false);
    return true;
}
