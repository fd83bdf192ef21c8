#include "cpp/Music.h"

#include "platform/MessageBox.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

HSTREAM musicStream = 0;

const char* const kMusicFile = "./data/music.mp3";

namespace {

// Why the stream could not be made, in the viewer's words.
std::string streamFailureReason(int code, const char* file) {
    switch (code) {
        case BASS_ERROR_FILEOPEN: {
            std::FILE* probe = std::fopen(file, "rb");
            const int why = errno;
            if (probe == nullptr) return std::strerror(why);
            std::fclose(probe);
            return "the file cannot be read";
        }
        case BASS_ERROR_FILEFORM:
            return "it holds no MP3 audio that can be decoded";
        case BASS_ERROR_MEM:
            return "out of memory";
        default:
            return "error " + std::to_string(code);
    }
}

}  // namespace

void openMusic() {
    if (!BASS_Init(-1, 44100, 0, nullptr, nullptr)) {
        // Names the music file although it is the output that failed.
        platform::showMessageBox(std::string("Could not open ") + kMusicFile + ".");
        BASS_Free();
        std::exit(1);
    }
    musicStream = BASS_StreamCreateFile(FALSE, kMusicFile, 0, 0, 0);
    if (musicStream == 0) {
        // Without its music the film has no clock; ending at the first frame with status 0
        // would pass for a film that played to its end.
        const std::string reason = streamFailureReason(BASS_ErrorGetCode(), kMusicFile);
        platform::showMessageBox(std::string("Could not open ") + kMusicFile + ": " + reason + ".");
        BASS_Free();
        std::exit(1);
    }
}

void prepareMusic() {
    bassPrepareFile(kMusicFile);
}

double musicSeconds() {
    return BASS_ChannelBytes2Seconds(musicStream, BASS_ChannelGetPosition(musicStream, BASS_POS_BYTE));
}

double musicRow() {
    return musicSeconds() * kRowsPerSecond;
}
