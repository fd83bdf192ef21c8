#include "SpanJoin.h"

#include "FrameMusic.h"
#include "JoinPart.h"
#include "Mp4Writer.h"
#include "Progress.h"

extern "C" {
#include <libavcodec/avcodec.h>
}

#include <cinttypes>
#include <cstdio>
#include <cstring>

namespace {

std::string frameAt(int64_t frame, int fps) {
    char text[64] = {};
    std::snprintf(text, sizeof text, "frame %" PRId64 " (%.3f s)", frame, static_cast<double>(frame) / fps);
    return text;
}

bool sameParameters(const AVCodecParameters* a, const AVCodecParameters* b) {
    return a->format == b->format && a->extradata_size == b->extradata_size &&
           (a->extradata_size == 0 || std::memcmp(a->extradata, b->extradata, a->extradata_size) == 0);
}

}  // namespace

bool checkJoin(const std::vector<std::unique_ptr<JoinPart>>& parts, std::string* why) {
    const JoinPart& first = *parts.front();
    for (size_t i = 1; i < parts.size(); ++i) {
        const JoinPart& part = *parts[i];
        const JoinPart& before = *parts[i - 1];
        if (part.tag().settings() != first.tag().settings())
            return *why = part.path() + " (" + part.tag().settings() + ") was captured with other settings than " +
                          first.path() + " (" + first.tag().settings() + ")",
                   false;
        if (part.tag().content != first.tag().content)
            return *why = part.path() + " (content " + (part.tag().content.empty() ? "unknown" : part.tag().content) +
                          ") was drawn from other film content than " + first.path() + " (content " +
                          (first.tag().content.empty() ? "unknown" : first.tag().content) + ")",
                   false;
        if (!sameParameters(part.video(), first.video()))
            return *why = part.path() + " was encoded with other H.264 parameters than " + first.path(), false;
        const int fps = part.tag().span.fps;
        const int64_t end = before.tag().span.endFrame;
        const int64_t start = part.tag().span.firstFrame;
        if (start != end)
            return *why = before.path() + " ends at " + frameAt(end, fps) + " but " + part.path() + " starts at " +
                          frameAt(start, fps) + ": " + (start > end ? "a gap of " : "an overlap of ") +
                          std::to_string(start > end ? start - end : end - start) + " frames",
                   false;
    }
    return true;
}

SpanTag joinedTag(const std::vector<std::unique_ptr<JoinPart>>& parts) {
    SpanTag tag = parts.front()->tag();
    tag.span.endFrame = parts.back()->tag().span.endFrame;
    return tag;
}

CaptureResult joinParts(const std::vector<std::unique_ptr<JoinPart>>& parts, const platform::PcmBuffer& music,
                        Mp4Writer& writer, Progress& progress, const volatile std::sig_atomic_t* stop,
                        std::string* why) {
    why->clear();
    const CaptureSpan whole = joinedTag(parts).span;
    FrameMusic sound(music);
    std::unique_ptr<AVPacket, void (*)(AVPacket*)> packet(av_packet_alloc(), [](AVPacket* p) { av_packet_free(&p); });
    if (!packet) return *why = "out of memory", CaptureResult::Failed;
    int64_t done = 0;
    for (const std::unique_ptr<JoinPart>& part : parts) {
        const int64_t offset = done;
        const int64_t frames = part->tag().span.frames();
        while (part->nextVideoPacket(packet.get(), why)) {
            if (*stop != 0) return CaptureResult::Stopped;
            if (done - offset >= frames) return *why = part->path() + " holds more frames than it says", CaptureResult::Failed;
            packet->pts += offset;
            packet->dts += offset;
            // Each packet adds one frame, so the music keeps pace with the video as in a capture.
            if (!writer.addVideoPacket(packet.get(), why) || !sound.add(whole, whole.firstFrame + done, writer, why))
                return CaptureResult::Failed;
            progress.update(++done);
        }
        if (!why->empty()) return CaptureResult::Failed;
        if (done - offset != frames) return *why = part->path() + " holds fewer frames than it says", CaptureResult::Failed;
    }
    progress.finish(done);
    return CaptureResult::Done;
}
