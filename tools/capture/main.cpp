// halvane-capture: the film, or a span of it, as one MP4 with its music.
//
//   halvane-capture [--dir RUNDIR] [--size WxH] [--fps N] [--from S] [--to S] [--crf Q] --out FILE.mp4
//   halvane-capture ... --bench     (draws the span, then captures it, and compares the rates)
//   halvane-capture --join [--dir RUNDIR] --out FILE.mp4 PART.mp4 PART.mp4 ...   (JoinCommand)
//
// Frames are drawn offscreen exactly as halvane-frames draws them (FilmRenderer),
// on the film's frame grid (CaptureSpan), and encoded with the music under them
// (Mp4Writer). The file appears under its name only when it is complete; an
// interrupt (Ctrl-C) or a failure leaves nothing there and ends with status 1; a scene
// that cannot load (a missing file, a broken shader) gives its message on stderr, never
// in a box, and status 1 too.
#include "CaptureOptions.h"
#include "CaptureRun.h"
#include "CaptureSpan.h"
#include "FilmCapture.h"
#include "FilmRenderer.h"
#include "JoinCommand.h"
#include "JoinOptions.h"
#include "Mp4Writer.h"
#include "MusicLoader.h"
#include "OutputFile.h"
#include "Progress.h"
#include "SpanTag.h"
#include "WriterSettings.h"

#include "cpp/BranchMotion.h"
#include "cpp/Music.h"
#include "cpp/StandardOptions.h"
#include "platform/RenderingProcess.h"
#include "platform/MessageBox.h"
#include "platform/Mp3Decoder.h"
#include "scenes/TestGeometry.h"

#include <cstdio>
#include <exception>
#include <filesystem>
#include <optional>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

SpanTag spanTag(const CaptureOptions& options, const CaptureSpan& span) {
    SpanTag tag;
    tag.span = span;
    tag.width = options.width;
    tag.height = options.height;
    tag.crf = options.crf;
    return tag;
}

// Captures the span into `output`'s temporary file; the status to end with.
int capture(FilmRenderer& renderer, const CaptureSpan& span, const platform::PcmBuffer& music,
            const CaptureOptions& options, OutputFile& output) {
    std::string why;
    if (!output.create(&why)) return failure(why);
    Mp4Writer writer;
    if (!writer.open(output.temporaryPath(), writerSettings(spanTag(options, span), music), &why)) return failure(why);
    Progress progress(span.frames(), stderr, isTerminal());
    const CaptureResult result = captureSpan(renderer, span, music, writer, progress, interrupted(), &why);
    return completeOutput(result, why, writer, output);
}

// Draws the span, goes back to its start, and captures it into a file that is then removed.
int bench(FilmRenderer& renderer, const CaptureSpan& span, const platform::PcmBuffer& music,
          const CaptureOptions& options) {
    // The branches at the span's first frame, so the second run takes the same steps as the first.
    renderer.renderAt(span.timeOf(span.firstFrame));
    BranchMotion::Snapshot atStart;
    renderer.scene().branchMotion().save(&atStart);
    Progress drawing(span.frames(), stderr, isTerminal());
    if (renderSpan(renderer, span, drawing, interrupted()) != CaptureResult::Done) return failure("interrupted");
    const double renderFps = drawing.framesPerSecond(span.frames());
    renderer.scene().branchMotion().restore(atStart);

    OutputFile output((std::filesystem::temp_directory_path() / "halvane-capture-bench.mp4").string());
    std::string why;
    if (!output.create(&why)) return failure(why);
    Mp4Writer writer;
    if (!writer.open(output.temporaryPath(), writerSettings(spanTag(options, span), music), &why)) return failure(why);
    Progress capturing(span.frames(), stderr, isTerminal());
    const CaptureResult result = captureSpan(renderer, span, music, writer, capturing, interrupted(), &why);
    if (result == CaptureResult::Stopped) return failure("interrupted");
    if (result == CaptureResult::Failed || !writer.finish(&why)) return failure(why);
    const double captureFps = capturing.framesPerSecond(span.frames());
    std::printf("%dx%d, %lld frames at %d fps, crf %d\n", options.width, options.height,
                static_cast<long long>(span.frames()), options.fps, options.crf);
    std::printf("render only: %.2f frames per second\n", renderFps);
    std::printf("capture:     %.2f frames per second (%.0f %% of render only)\n", captureFps,
                renderFps > 0.0 ? 100.0 * captureFps / renderFps : 0.0);
    return 0;
}

int captureFilm(int argc, char** argv) {
    CaptureOptions options;
    std::string why;
    if (!parseCaptureOptions(argc, argv, &options, &why)) return usageError(why);

    // --out names a place from where we were started, not from the run directory.
    OutputFile output(options.out.empty() ? std::string() : std::filesystem::absolute(options.out).string());
    if (!options.bench && !output.checkWritable(&why)) return failure(why);
    if (!enterRunDirectory(options.dir, &why)) return failure(why);

    std::optional<platform::PcmBuffer> music = loadMusic();
    if (!music) return failure(std::string("cannot read the music ") + kMusicFile);
    const double musicSeconds = static_cast<double>(music->frames()) / music->rate;
    const double to = options.to < 0.0 ? musicSeconds : options.to;
    if (options.from >= musicSeconds || to > musicSeconds + 0.5 / music->rate) {
        char text[160];
        std::snprintf(text, sizeof text, "the span %.3f-%.3f s reaches past the end of the music (%.3f s)",
                      options.from, to, musicSeconds);
        return failure(text);
    }
    const CaptureSpan span = CaptureSpan::of(options.from, to, options.fps);
    if (span.frames() <= 0) return usageError("the span holds no frame at " + std::to_string(options.fps) + " fps");

    catchInterrupts();

    FilmRenderer renderer;
    if (!renderer.open(options.width, options.height, &why)) return failure(why);
    if (!renderer.hasFrameAt(span.timeOf(span.endFrame - 1))) return failure("the music ends before the span");
    std::fprintf(stderr, "loaded in %.3f s; %lld frames, %.3f s from %.3f s at %dx%d, %d fps\n",
                 renderer.loadSeconds(), static_cast<long long>(span.frames()), span.seconds(),
                 span.timeOf(span.firstFrame), options.width, options.height, options.fps);

    if (options.bench) return bench(renderer, span, *music, options);
    return capture(renderer, span, *music, options, output);
}

}  // namespace

int main(int argc, char** argv) {
    // The frames are drawn as halvane-frames draws them, and as fast.
    const int answered = answerHelpOrVersion(argc, argv, "halvane-capture", kCaptureUsage);
    if (answered >= 0) return answered;
    platform::prepareRenderingProcess(argv);
    // A scene that cannot load says why on stderr; a box would wait for a click nobody gives.
    platform::setMessageBoxHook([](const std::string&) {});
    try {
        return isJoinCommand(argc, argv) ? joinCommand(argc, argv) : captureFilm(argc, argv);
    } catch (const std::exception& error) {
        return failure(error.what());
    }
}
