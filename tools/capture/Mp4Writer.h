// One MP4 file with H.264 video and AAC audio, through FFmpeg's libraries.
//
// Video frames arrive as top-down RGBA and are numbered from 0 at `fps`; with a
// quality above 0 they are encoded by x264 as yuv420p (BT.709, limited range, what
// every player takes), with quality 0 losslessly as RGB (x264's High 4:4:4 profile),
// so decoding gives back the very pixels. Audio arrives as interleaved 16-bit PCM and
// is encoded as AAC; the encoder's priming samples are marked in the file's edit
// list, so the first sample a player outputs is the first sample given here.
// A writer opened with copied video takes H.264 packets as they are instead of frames
// (to join spans that were encoded before); its audio is encoded as always.
// Nothing is complete before finish() has written the index: a file that is
// abandoned (destroyed unfinished) is not playable and is the caller's to delete.
// Not thread-safe: one thread feeds a writer.
#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

struct AVFormatContext;
struct AVCodecContext;
struct AVCodecParameters;
struct AVStream;
struct AVFrame;
struct AVPacket;
struct AVAudioFifo;
struct SwsContext;
struct SwrContext;

class Mp4Writer {
public:
    struct Settings {
        int width = 0;
        int height = 0;
        int fps = 0;
        int crf = 18;
        int sampleRate = 44100;
        int channels = 2;
        // Format-level entries (key, value), kept in the file and read back as its metadata.
        std::vector<std::pair<std::string, std::string>> metadata;
    };

    Mp4Writer() = default;
    ~Mp4Writer();
    Mp4Writer(const Mp4Writer&) = delete;
    Mp4Writer& operator=(const Mp4Writer&) = delete;

    // Creates the file at `path` and writes its header. False with a reason.
    bool open(const std::string& path, const Settings& settings, std::string* why);
    // The same, for video that arrives as packets encoded with `video`'s parameters.
    bool openCopying(const std::string& path, const Settings& settings, const AVCodecParameters* video,
                     std::string* why);
    // width x height x 4 bytes, rows top to bottom.
    bool addVideoFrame(const uint8_t* rgba, std::string* why);
    // An encoded frame with its timestamps in frames from the file's start; the packet is left blank.
    bool addVideoPacket(AVPacket* packet, std::string* why);
    bool addAudio(const int16_t* interleaved, int frames, std::string* why);
    // Encodes what is left, writes the index and closes the file.
    bool finish(std::string* why);

private:
    bool create(const std::string& path, std::string* why);
    bool addVideoEncoder(std::string* why);
    bool addAudioEncoder(std::string* why);
    bool writeHeader(const std::string& path, std::string* why);
    bool encode(AVCodecContext* codec, AVStream* stream, AVFrame* frame, std::string* why);
    bool encodeAudioFrames(bool flushAll, std::string* why);
    void close();

    Settings _settings;
    std::string _url;
    AVFormatContext* _format = nullptr;
    AVCodecContext* _video = nullptr;
    AVCodecContext* _audio = nullptr;
    AVStream* _videoStream = nullptr;
    AVStream* _audioStream = nullptr;
    AVFrame* _videoFrame = nullptr;
    AVFrame* _audioFrame = nullptr;
    AVPacket* _packet = nullptr;
    AVAudioFifo* _fifo = nullptr;
    SwsContext* _sws = nullptr;
    SwrContext* _swr = nullptr;
    int64_t _videoFrames = 0;
    int64_t _audioSamples = 0;
    bool _headerWritten = false;
};
