#include "MusicLoader.h"

#include "cpp/Music.h"

#include <fstream>
#include <iterator>
#include <vector>

std::optional<platform::PcmBuffer> loadMusic() {
    std::ifstream file(kMusicFile, std::ios::binary);
    if (!file) return std::nullopt;
    std::vector<unsigned char> data((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    std::optional<platform::PcmBuffer> music = platform::decodeMp3(data.data(), data.size());
    if (music && music->rate <= 0) return std::nullopt;
    return music;
}
