#include "cpp/Music.h"

#include "platform/MessageBox.h"

#include <cstdlib>
#include <string>

HSTREAM musicStream = 0;

const char* const kMusicFile = "./data/music.mp3";

void openMusic() {
    if (!BASS_Init(-1, 44100, 0, nullptr, nullptr)) {
        // Names the music file although it is the output that failed.
        platform::showMessageBox(std::string("Could not open ") + kMusicFile + ".");
        BASS_Free();
        std::exit(0);
    }
    musicStream = BASS_StreamCreateFile(FALSE, kMusicFile, 0, 0, 0);
}

double musicSeconds() {
    return BASS_ChannelBytes2Seconds(musicStream, BASS_ChannelGetPosition(musicStream, BASS_POS_BYTE));
}

double musicRow() {
    return musicSeconds() * kRowsPerSecond;
}
