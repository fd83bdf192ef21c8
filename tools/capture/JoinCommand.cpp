#include "JoinCommand.h"

#include "CaptureRun.h"
#include "JoinOptions.h"
#include "JoinPart.h"
#include "Mp4Writer.h"
#include "MusicLoader.h"
#include "OutputFile.h"
#include "Progress.h"
#include "SpanJoin.h"
#include "WriterSettings.h"

#include "cpp/Music.h"

#include <cstdio>
#include <filesystem>
#include <memory>
#include <unistd.h>

namespace {

// Whether the music reaches as far as a capture of `span` would have needed.
bool musicCovers(const platform::PcmBuffer& music, const CaptureSpan& span) {
    const double seconds = static_cast<double>(music.frames()) / music.rate;
    return span.endFrame <= CaptureSpan::of(0.0, seconds + 0.5 / music.rate, span.fps).endFrame;
}

}  // namespace

int joinCommand(int argc, char** argv) {
    JoinOptions options;
    std::string why;
    if (!parseJoinOptions(argc, argv, &options, &why)) return usageError(why);
    // Paths name places from where we were started, not from the run directory.
    OutputFile output(std::filesystem::absolute(options.out).string());
    if (!output.checkWritable(&why)) return failure(why);
    std::vector<std::unique_ptr<JoinPart>> parts;
    for (const std::string& path : options.parts) {
        parts.push_back(std::make_unique<JoinPart>(std::filesystem::absolute(path).string()));
        if (!parts.back()->open(&why)) return failure(why);
    }
    if (!checkJoin(parts, &why)) return failure(why);
    const SpanTag tag = joinedTag(parts);

    if (!enterRunDirectory(options.dir, &why)) return failure(why);
    const std::optional<platform::PcmBuffer> music = loadMusic();
    if (!music) return failure(std::string("cannot read the music ") + kMusicFile);
    if (!musicCovers(*music, tag.span))
        return failure("the music in " + std::filesystem::current_path().string() + " ends before the joined span");

    catchInterrupts();
    std::fprintf(stderr, "joining %zu parts: %lld frames, %.3f s from %.3f s at %dx%d, %d fps\n", parts.size(),
                 static_cast<long long>(tag.span.frames()), tag.span.seconds(), tag.span.timeOf(tag.span.firstFrame),
                 tag.width, tag.height, tag.span.fps);
    if (!output.create(&why)) return failure(why);
    Mp4Writer writer;
    if (!writer.openCopying(output.temporaryPath(), writerSettings(tag, *music), parts.front()->video(), &why))
        return failure(why);
    Progress progress(tag.span.frames(), stderr, isTerminal());
    const CaptureResult result = joinParts(parts, *music, writer, progress, interrupted(), &why);
    return completeOutput(result, why, writer, output);
}
