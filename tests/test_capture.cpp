// halvane-capture end to end: captures of short spans at small sizes are read back
// with FFmpeg's libraries and held against what they must contain: the frames that
// halvane-frames draws, the music under them, and nothing at all when a run fails.
#include "GLwrappers/PngReader.h"
#include "MediaDecoder.h"
#include "platform/Mp3Decoder.h"

#include <gtest/gtest.h>

extern "C" {
#include <libavformat/avformat.h>
}

#include <cmath>
#include <csignal>
#include <fcntl.h>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace fs = std::filesystem;

namespace {

const std::string kRun = std::string(HV_BINARY_DIR) + "/run";

struct TempDir {
    fs::path path;
    TempDir() {
        char pattern[] = "/tmp/hv_capture_XXXXXX";
        path = mkdtemp(pattern);
    }
    ~TempDir() { fs::remove_all(path); }
    bool empty() const { return fs::is_empty(path); }
};

int run(const std::string& tool, const std::string& arguments) {
    const std::string command =
        std::string(HV_BINARY_DIR) + "/" + tool + " --dir " + kRun + " " + arguments + " > /dev/null 2>&1";
    const int status = std::system(command.c_str());
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

// The command's status, with what it said on stdout and stderr in *said.
int runSaying(const std::string& tool, const std::string& arguments, std::string* said) {
    const std::string command = std::string(HV_BINARY_DIR) + "/" + tool + " --dir " + kRun + " " + arguments + " 2>&1";
    FILE* pipe = popen(command.c_str(), "r");
    char buffer[256];
    for (size_t got = 0; pipe != nullptr && (got = fread(buffer, 1, sizeof buffer, pipe)) > 0;) said->append(buffer, got);
    const int status = pipe != nullptr ? pclose(pipe) : -1;
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

// The video packets of a file as stored, the video stream's duration in seconds and the file's span tag.
std::vector<std::vector<uint8_t>> videoPackets(const fs::path& path, double* seconds, std::string* tag = nullptr) {
    std::vector<std::vector<uint8_t>> packets;
    AVFormatContext* format = nullptr;
    if (avformat_open_input(&format, path.c_str(), nullptr, nullptr) < 0) return packets;
    const AVDictionaryEntry* entry = av_dict_get(format->metadata, "halvane-span", nullptr, 0);
    if (tag != nullptr) *tag = entry != nullptr ? entry->value : "";
    const int video = av_find_best_stream(format, AVMEDIA_TYPE_VIDEO, -1, -1, nullptr, 0);
    *seconds = video < 0 ? 0.0 : format->streams[video]->duration * av_q2d(format->streams[video]->time_base);
    AVPacket* packet = av_packet_alloc();
    while (av_read_frame(format, packet) >= 0) {
        if (packet->stream_index == video) packets.emplace_back(packet->data, packet->data + packet->size);
        av_packet_unref(packet);
    }
    av_packet_free(&packet);
    avformat_close_input(&format);
    return packets;
}

DecodedMedia decode(const fs::path& path, const std::string& format = "") {
    DecodedMedia media;
    std::string why;
    EXPECT_TRUE(decodeMedia(path.string(), format, &media, &why)) << why;
    return media;
}

const platform::PcmBuffer& music() {
    static const platform::PcmBuffer decoded = [] {
        std::ifstream file(kRun + "/data/music.mp3", std::ios::binary);
        std::vector<unsigned char> data((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
        return platform::decodeMp3(data.data(), data.size()).value_or(platform::PcmBuffer{});
    }();
    return decoded;
}

// How well `decoded` (interleaved floats) matches the music's channel 0 from sample
// `start` when shifted by `lag`: the signal-to-error ratio in dB over `count` samples.
double matchDb(const DecodedMedia& decoded, int64_t start, int lag, int64_t count) {
    const platform::PcmBuffer& m = music();
    double signal = 0.0, error = 0.0;
    for (int64_t i = 64; i < count - 64; ++i) {
        const double reference = m.samples[static_cast<size_t>((start + i) * m.channels)] / 32768.0;
        const double heard = decoded.samples[static_cast<size_t>((i + lag) * decoded.channels)];
        signal += reference * reference;
        error += (heard - reference) * (heard - reference);
    }
    return 10.0 * std::log10(signal / std::max(error, 1e-12));
}

std::vector<uint8_t> pngPixels(const fs::path& path) {
    std::unique_ptr<PngImage> image;
    read_png_file(image, path.c_str());
    return image ? image->pixels : std::vector<uint8_t>{};
}

// The file's format-level metadata entry `key`; empty when it has none.
std::string metadataEntry(const fs::path& path, const char* key) {
    AVFormatContext* format = nullptr;
    if (avformat_open_input(&format, path.c_str(), nullptr, nullptr) < 0) return "";
    const AVDictionaryEntry* entry = av_dict_get(format->metadata, key, nullptr, 0);
    const std::string value = entry != nullptr ? entry->value : "";
    avformat_close_input(&format);
    return value;
}

// The version this build was made as, as the build wrote it down.
std::string buildVersion() {
    std::ifstream file(std::string(HV_BINARY_DIR) + "/version/version.txt");
    std::string version;
    std::getline(file, version);
    return version;
}

}  // namespace

// One second from 60 s at 320x200 and 30 fps in the default quality.
TEST(Capture, ASpanHoldsItsFramesAndTheMusicUnderThem) {
    TempDir out;
    const fs::path file = out.path / "span.mp4";
    ASSERT_EQ(run("halvane-capture", "--size 320x200 --fps 30 --from 60 --to 61 --out " + file.string()), 0);
    const DecodedMedia media = decode(file);
    EXPECT_EQ(media.videoCodec, "h264");
    EXPECT_EQ(media.pixelFormat, "yuv420p");
    EXPECT_EQ(media.width, 320);
    EXPECT_EQ(media.height, 200);
    EXPECT_EQ(media.rateNum, 30);
    EXPECT_EQ(media.rateDen, 1);
    EXPECT_EQ(metadataEntry(file, "halvane-version"), buildVersion());  // which build made the file
    EXPECT_FALSE(buildVersion().empty());
    ASSERT_EQ(media.frames.size(), 30u);
    EXPECT_NEAR(media.frameTimes.front(), 0.0, 1e-6);
    EXPECT_NEAR(media.frameTimes.back(), 29.0 / 30.0, 1e-6);

    EXPECT_EQ(media.sampleRate, 44100);
    EXPECT_EQ(media.channels, 2);
    EXPECT_EQ(media.statedSamples, 44100);
    // The last AAC frame decodes whole; the file's own duration says where the span ends.
    ASSERT_GE(media.samples.size(), 2u * 44100);
    ASSERT_LT(media.samples.size(), 2u * (44100 + 1024));

    // The music from 60 s exactly: the decoded sound matches it best unshifted, and closely.
    const int64_t start = 60 * 44100;
    const double aligned = matchDb(media, start, 0, 44100 - 64);
    for (int lag : {-64, -8, -2, -1, 1, 2, 8, 64}) EXPECT_GT(aligned, matchDb(media, start, lag, 44100 - 64) + 3.0) << lag;
    EXPECT_GT(aligned, 20.0);
}

// Lossless spans are the frames halvane-frames draws, and two spans that meet are the span they cover.
TEST(Capture, LosslessSpansJoinIntoTheWholeSpanFrameForFrame) {
    TempDir out;
    const fs::path first = out.path / "first.mp4", second = out.path / "second.mp4", whole = out.path / "whole.mp4";
    const std::string common = "--size 160x100 --fps 30 --crf 0 ";
    ASSERT_EQ(run("halvane-capture", common + "--from 60 --to 60.5 --out " + first.string()), 0);
    ASSERT_EQ(run("halvane-capture", common + "--from 60.5 --to 61 --out " + second.string()), 0);
    ASSERT_EQ(run("halvane-capture", common + "--from 60 --to 61 --out " + whole.string()), 0);
    ASSERT_EQ(run("halvane-frames", "--size 160x100 --time 60.6 --out " + out.path.string()), 0);

    const DecodedMedia a = decode(first), b = decode(second), all = decode(whole);
    ASSERT_EQ(a.frames.size(), 15u);
    ASSERT_EQ(b.frames.size(), 15u);
    ASSERT_EQ(all.frames.size(), 30u);
    // 60.6 s is frame 18 of the whole span and frame 3 of the second.
    const std::vector<uint8_t> drawn = pngPixels(out.path / "frame_0060.600.png");
    ASSERT_EQ(drawn.size(), all.frames[18].size());
    EXPECT_TRUE(all.frames[18] == drawn);
    EXPECT_TRUE(b.frames[3] == drawn);
    EXPECT_EQ(a.statedSamples + b.statedSamples, all.statedSamples);

    // Joined by FFmpeg's concat demuxer, packets as they are (what "ffmpeg -f concat -c copy" reads).
    const fs::path list = out.path / "spans.txt";
    std::ofstream(list) << "file '" << first.string() << "'\nfile '" << second.string() << "'\n";
    const DecodedMedia joined = decode(list, "concat");
    ASSERT_EQ(joined.frames.size(), all.frames.size());
    for (size_t k = 0; k < all.frames.size(); ++k) {
        EXPECT_TRUE(joined.frames[k] == all.frames[k]) << "frame " << k;
        EXPECT_NEAR(joined.frameTimes[k], k / 30.0, 1e-3) << "frame " << k;
    }
}

// Parts [0, 1) and [1, 2) joined: their video packets as they are, and the sound of a capture of [0, 2).
TEST(Capture, PartsThatMeetJoinWithoutEncodingTheirPictureAgain) {
    TempDir out;
    const fs::path first = out.path / "first.mp4", second = out.path / "second.mp4", whole = out.path / "whole.mp4",
                   late = out.path / "late.mp4", coarse = out.path / "coarse.mp4", joined = out.path / "joined.mp4",
                   refused = out.path / "refused.mp4";
    const std::string common = "--size 160x100 --fps 15 ";
    ASSERT_EQ(run("halvane-capture", common + "--from 0 --to 1 --out " + first.string()), 0);
    ASSERT_EQ(run("halvane-capture", common + "--from 1 --to 2 --out " + second.string()), 0);
    ASSERT_EQ(run("halvane-capture", common + "--from 0 --to 2 --out " + whole.string()), 0);
    ASSERT_EQ(run("halvane-capture", common + "--from 1.5 --to 2 --out " + late.string()), 0);
    ASSERT_EQ(run("halvane-capture", common + "--crf 30 --from 1 --to 2 --out " + coarse.string()), 0);
    ASSERT_EQ(run("halvane-capture", "--join --out " + joined.string() + " " + first.string() + " " + second.string()), 0);

    double seconds = 0.0, partSeconds = 0.0;
    std::string tag, partTag;
    std::vector<std::vector<uint8_t>> parts = videoPackets(first, &partSeconds, &partTag);
    EXPECT_EQ(partTag, "frames 0-15 fps 15 size 160x100 crf 18");
    for (std::vector<uint8_t>& packet : videoPackets(second, &partSeconds)) parts.push_back(std::move(packet));
    const std::vector<std::vector<uint8_t>> copied = videoPackets(joined, &seconds, &tag);
    ASSERT_EQ(copied.size(), 30u);
    EXPECT_TRUE(copied == parts);
    EXPECT_DOUBLE_EQ(seconds, 2.0);
    EXPECT_EQ(tag, "frames 0-30 fps 15 size 160x100 crf 18");  // a joined file can be joined again

    const DecodedMedia media = decode(joined), direct = decode(whole);
    ASSERT_EQ(media.frames.size(), 30u);
    EXPECT_NEAR(media.frameTimes.back(), 29.0 / 15.0, 1e-6);
    EXPECT_EQ(media.statedSamples, 2 * 44100);
    EXPECT_EQ(media.statedSamples, direct.statedSamples);
    EXPECT_TRUE(media.samples == direct.samples);

    // Parts that do not join are refused with a message naming both; nothing is written.
    const std::string join = "--join --out " + refused.string() + " " + first.string() + " ";
    const struct {
        fs::path part;
        const char* why;
    } refusals[] = {{late, "a gap of 8 frames"}, {whole, "an overlap of 15 frames"}, {coarse, "other settings"}};
    for (const auto& refusal : refusals) {
        std::string said;
        EXPECT_EQ(runSaying("halvane-capture", join + refusal.part.string(), &said), 1) << said;
        EXPECT_NE(said.find(refusal.why), std::string::npos) << said;
        EXPECT_NE(said.find(first.string()), std::string::npos) << said;
        EXPECT_NE(said.find(refusal.part.string()), std::string::npos) << said;
    }
    EXPECT_EQ(run("halvane-capture", join + kRun + "/data/music.mp3"), 1);  // not a capture
    EXPECT_EQ(run("halvane-capture", join), 2);                            // one part alone
    EXPECT_EQ(run("halvane-capture", join + second.string() + " --fps 30"), 2);
    EXPECT_FALSE(fs::exists(refused));
    EXPECT_EQ(std::distance(fs::directory_iterator(out.path), fs::directory_iterator()), 6);
}

TEST(Capture, RefusesBadInputAndLeavesNothingBehind) {
    TempDir out;
    const std::string file = " --out " + (out.path / "film.mp4").string();
    EXPECT_EQ(run("halvane-capture", "--speed 2" + file), 2);
    EXPECT_EQ(run("halvane-capture", "--from 1 --to 2"), 2);  // no --out
    EXPECT_EQ(run("halvane-capture", "--size 10x10" + file), 2);
    EXPECT_EQ(run("halvane-capture", "--size 321x200" + file), 2);
    EXPECT_EQ(run("halvane-capture", "--size 320" + file), 2);
    EXPECT_EQ(run("halvane-capture", "--fps 0" + file), 2);
    EXPECT_EQ(run("halvane-capture", "--fps 29.97" + file), 2);
    EXPECT_EQ(run("halvane-capture", "--crf 52" + file), 2);
    EXPECT_EQ(run("halvane-capture", "--from 5 --to 5" + file), 2);
    EXPECT_EQ(run("halvane-capture", "--from -1 --to 5" + file), 2);
    EXPECT_EQ(run("halvane-capture", "--from 171 --to 173" + file), 1);  // the music ends at 172 s
    EXPECT_EQ(run("halvane-capture", "--from 172" + file), 1);
    EXPECT_EQ(run("halvane-capture", "--from 1 --to 2 --out /nonexistent/film.mp4"), 1);
    EXPECT_EQ(run("halvane-capture", "--from 1 --to 2 --out " + out.path.string()), 1);  // a directory
    EXPECT_TRUE(out.empty());
}

// Ctrl-C ends the capture after the frame in hand: nothing under the output's name, no temporary file.
TEST(Capture, AnInterruptLeavesNothingBehind) {
    TempDir out;
    int errors[2] = {-1, -1};
    ASSERT_EQ(pipe(errors), 0);
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        dup2(errors[1], STDERR_FILENO);
        const int null = ::open("/dev/null", O_WRONLY);
        dup2(null, STDOUT_FILENO);
        const std::string tool = std::string(HV_BINARY_DIR) + "/halvane-capture";
        const std::string target = (out.path / "film.mp4").string();
        execl(tool.c_str(), tool.c_str(), "--dir", kRun.c_str(), "--size", "160x100", "--fps", "30", "--out",
              target.c_str(), static_cast<char*>(nullptr));
        _exit(127);
    }
    close(errors[1]);
    // Wait until the film is loaded and frames are being written, then interrupt.
    std::string said;
    char buffer[256];
    ssize_t got = 0;
    while (said.find("loaded") == std::string::npos && (got = read(errors[0], buffer, sizeof buffer)) > 0)
        said.append(buffer, static_cast<size_t>(got));
    ASSERT_NE(said.find("loaded"), std::string::npos) << said;
    sleep(2);
    kill(child, SIGINT);
    while ((got = read(errors[0], buffer, sizeof buffer)) > 0) said.append(buffer, static_cast<size_t>(got));
    close(errors[0]);
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 1);
    EXPECT_NE(said.find("interrupted"), std::string::npos) << said;
    EXPECT_TRUE(out.empty());
}
