#include "QueryCommands.h"

#include "CaptureRun.h"
#include "ContentFingerprint.h"
#include "JoinPart.h"
#include "MusicLoader.h"

#include "cpp/Music.h"

extern "C" {
#include <libavcodec/avcodec.h>
}

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <memory>
#include <string>
#include <unistd.h>

const char* queryCommand(int argc, char** argv) {
    for (int i = 1; i < argc; ++i)
        for (const char* word : {"--verify", "--fingerprint"})
            if (std::strcmp(argv[i], word) == 0) return word;
    return nullptr;
}

int verifyCommand(int argc, char** argv) {
    std::string path;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--verify") == 0) continue;
        // A part says everything about itself; the run directory is not needed, but harmless.
        if (std::strcmp(argv[i], "--dir") == 0 && i + 1 < argc) {
            ++i;
            continue;
        }
        if (argv[i][0] == '-' || !path.empty())
            return usageError(std::string("--verify takes one part, not ") + argv[i]);
        path = argv[i];
    }
    if (path.empty()) return usageError("--verify needs the part to check");
    JoinPart part(std::filesystem::absolute(path).string());
    std::string why;
    if (!part.open(&why)) return failure(why);
    std::unique_ptr<AVPacket, void (*)(AVPacket*)> packet(av_packet_alloc(),
                                                          [](AVPacket* p) { av_packet_free(&p); });
    if (!packet) return failure("out of memory");
    int64_t frames = 0;
    // Every packet is read, so a file cut short after its index is caught too.
    while (part.nextVideoPacket(packet.get(), &why)) {
        ++frames;
        av_packet_unref(packet.get());
    }
    if (!why.empty()) return failure(why);
    if (frames != part.tag().span.frames())
        return failure(part.path() + " holds " + std::to_string(frames) + " frames, not the " +
                       std::to_string(part.tag().span.frames()) + " its tag names");
    std::printf("%s\n", part.tag().format().c_str());
    return 0;
}

int fingerprintCommand(int argc, char** argv) {
    std::string dir = ".";
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--fingerprint") == 0) continue;
        if (std::strcmp(argv[i], "--dir") != 0 || i + 1 >= argc)
            return usageError(std::string("--fingerprint takes only --dir RUNDIR, not ") + argv[i]);
        dir = argv[++i];
    }
    std::string why;
    const std::optional<std::string> fingerprint = contentFingerprint(dir, &why);
    if (!fingerprint) return failure(why);
    if (::chdir(dir.c_str()) != 0) return failure("cannot enter " + dir);
    const std::optional<platform::PcmBuffer> music = loadMusic();
    if (!music) return failure(std::string("cannot read the music ") + kMusicFile);
    std::printf("%s %lld %d\n", fingerprint->c_str(), static_cast<long long>(music->frames()), music->rate);
    return 0;
}
