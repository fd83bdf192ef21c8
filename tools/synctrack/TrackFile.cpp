#include "TrackFile.h"

#include <cstdio>
#include <cstring>
#include <memory>

namespace synctrack {

namespace {
using File = std::unique_ptr<FILE, int (*)(FILE*)>;

void putLittle(std::vector<unsigned char>& out, uint64_t value, int bytes) {
    for (int i = 0; i < bytes; ++i) out.push_back(static_cast<unsigned char>(value >> (8 * i)));
}

uint64_t getLittle(const unsigned char* in, int bytes) {
    uint64_t value = 0;
    for (int i = bytes - 1; i >= 0; --i) value = (value << 8) | in[i];
    return value;
}
}  // namespace

bool writeTrackFile(const std::string& path, const std::vector<TimelineKey>& keys, std::string* error) {
    std::vector<unsigned char> bytes;
    putLittle(bytes, keys.size(), 8);
    for (const TimelineKey& key : keys) {
        uint32_t valueBits = 0;
        std::memcpy(&valueBits, &key.value, 4);
        putLittle(bytes, static_cast<uint32_t>(key.row), 4);
        putLittle(bytes, valueBits, 4);
        putLittle(bytes, static_cast<uint8_t>(key.type), 1);
    }
    File file(std::fopen(path.c_str(), "wb"), std::fclose);
    if (!file || std::fwrite(bytes.data(), 1, bytes.size(), file.get()) != bytes.size()) {
        *error = "cannot write " + path;
        return false;
    }
    return true;
}

bool readTrackFile(const std::string& path, RawTrack* track, std::string* error) {
    File file(std::fopen(path.c_str(), "rb"), std::fclose);
    if (!file) {
        *error = "cannot open " + path;
        return false;
    }
    unsigned char header[8];
    if (std::fread(header, 1, 8, file.get()) != 8) return true;
    track->headerComplete = true;
    track->declared = getLittle(header, 8);
    unsigned char record[9];
    while (track->keys.size() < track->declared && std::fread(record, 1, 9, file.get()) == 9) {
        TimelineKey key;
        uint32_t valueBits = static_cast<uint32_t>(getLittle(record + 4, 4));
        key.row = static_cast<int32_t>(static_cast<uint32_t>(getLittle(record, 4)));
        std::memcpy(&key.value, &valueBits, 4);
        key.type = static_cast<int8_t>(record[8]);
        track->keys.push_back(key);
    }
    return true;
}

}  // namespace synctrack
