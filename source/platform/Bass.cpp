#include "platform/Bass.h"

#include "platform/AudioDevice.h"
#include "platform/AudioOutput.h"
#include "platform/Mp3Decoder.h"
#include "cpp/LoadTimeline.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstdio>
#include <future>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

namespace {

using platform::IPlayback;
using platform::PcmBuffer;

struct Stream {
    std::shared_ptr<const PcmBuffer> pcm;
    std::unique_ptr<IPlayback> playback;
};

// A whole file read and decoded, or why not (a BASS error code).
struct Decoded {
    int error = BASS_OK;
    std::optional<PcmBuffer> pcm;
};

struct Library {
    std::mutex mutex;
    BassOutput output = BassOutput::None;
    bool subsystemStarted = false;
    platform::AudioDeviceChoice device;
    bool manualClockRequested = false;
    double manualSeconds = 0.0;
    std::map<DWORD, Stream> streams;
    DWORD nextHandle = 0x80000001u;  // nonzero, and not reused within a run
    std::map<std::string, std::future<Decoded>> prepared;  // by path
};

thread_local int t_lastError = BASS_OK;

// Records why a call failed (or BASS_OK) and passes its result through.
template <typename T>
T answer(int error, T result) {
    t_lastError = error;
    return result;
}

Library& library() {
    static Library* instance = new Library;  // outlives every static destructor
    return *instance;
}

std::optional<std::vector<unsigned char>> readFilePart(const char* path, QWORD offset, QWORD length) {
    std::FILE* file = std::fopen(path, "rb");
    if (file == nullptr) return std::nullopt;
    std::vector<unsigned char> bytes;
    bool failed = fseeko(file, static_cast<off_t>(offset), SEEK_SET) != 0;
    std::vector<unsigned char> chunk(64 * 1024);
    while (!failed && (length == 0 || bytes.size() < length)) {
        size_t wanted = chunk.size();
        if (length != 0) wanted = static_cast<size_t>(std::min<QWORD>(wanted, length - bytes.size()));
        const size_t got = std::fread(chunk.data(), 1, wanted, file);
        bytes.insert(bytes.end(), chunk.begin(), chunk.begin() + static_cast<std::ptrdiff_t>(got));
        if (got < wanted) {
            failed = std::ferror(file) != 0;  // a directory, for instance
            break;
        }
    }
    std::fclose(file);
    if (failed) return std::nullopt;
    return bytes;
}

Decoded decodeFile(const char* path, QWORD offset, QWORD length) {
    Decoded result;
    auto bytes = readFilePart(path, offset, length);
    if (!bytes) return result.error = BASS_ERROR_FILEOPEN, result;
    if (bytes->empty()) return result.error = BASS_ERROR_FILEFORM, result;
    result.pcm = platform::decodeMp3(bytes->data(), bytes->size());
    if (!result.pcm) result.error = BASS_ERROR_FILEFORM;
    return result;
}

std::unique_ptr<IPlayback> makePlayback(Library& lib, const std::shared_ptr<const PcmBuffer>& pcm) {
    switch (lib.output) {
        case BassOutput::Manual:
            return platform::makeManualPlayback(pcm, [&lib] { return lib.manualSeconds; });
        case BassOutput::Device:
            if (auto playback = platform::openDevicePlayback(lib.device, pcm)) return playback;
            return platform::makeSilentPlayback(pcm);  // the device refused this stream's format
        default:
            return platform::makeSilentPlayback(pcm);
    }
}

Stream* findStream(Library& lib, DWORD handle) {
    auto found = lib.streams.find(handle);
    return found == lib.streams.end() ? nullptr : &found->second;
}

bool chooseDevice(int device, platform::AudioDeviceChoice& choice) {
    if (device > platform::audioDeviceCount()) return false;
    choice.name = platform::audioDeviceName(device - 1);
    return choice.name.has_value();
}

}  // namespace

BOOL BASS_Init(int device, DWORD freq, DWORD /*flags*/, void* /*win*/, const void* /*dsguid*/) {
    Library& lib = library();
    std::lock_guard<std::mutex> lock(lib.mutex);
    if (lib.output != BassOutput::None) return answer(BASS_ERROR_ALREADY, FALSE);
    if (freq == 0 || device < -1) return answer(BASS_ERROR_ILLPARAM, FALSE);
    if (lib.manualClockRequested) {
        lib.output = BassOutput::Manual;
        return answer(BASS_OK, TRUE);
    }
    if (device == 0) {
        lib.output = BassOutput::Silent;
        return answer(BASS_OK, TRUE);
    }
    lib.subsystemStarted = platform::startAudioSubsystem();
    platform::AudioDeviceChoice choice;
    if (device >= 1 && (!lib.subsystemStarted || !chooseDevice(device, choice))) {
        if (lib.subsystemStarted) platform::stopAudioSubsystem();
        lib.subsystemStarted = false;
        return answer(BASS_ERROR_ILLPARAM, FALSE);  // a device asked for by number must exist
    }
    if (lib.subsystemStarted && platform::probeAudioDevice(choice, static_cast<int>(freq))) {
        lib.device = choice;
        lib.output = BassOutput::Device;
        return answer(BASS_OK, TRUE);
    }
    // No sound card: keep time without one.
    if (lib.subsystemStarted) platform::stopAudioSubsystem();
    lib.subsystemStarted = false;
    lib.output = BassOutput::Silent;
    return answer(BASS_OK, TRUE);
}

HSTREAM BASS_StreamCreateFile(BOOL mem, const void* file, QWORD offset, QWORD length, DWORD /*flags*/) {
    Library& lib = library();
    std::lock_guard<std::mutex> lock(lib.mutex);
    if (lib.output == BassOutput::None) return answer<HSTREAM>(BASS_ERROR_INIT, 0);
    if (file == nullptr) return answer<HSTREAM>(BASS_ERROR_ILLPARAM, 0);
    std::optional<PcmBuffer> decoded;
    if (mem) {
        if (length == 0) return answer<HSTREAM>(BASS_ERROR_ILLPARAM, 0);
        decoded = platform::decodeMp3(static_cast<const unsigned char*>(file) + offset, length);
    } else {
        const char* path = static_cast<const char*>(file);
        auto prepared = offset == 0 && length == 0 ? lib.prepared.find(path) : lib.prepared.end();
        Decoded read;
        if (prepared != lib.prepared.end()) {
            read = prepared->second.get();
            lib.prepared.erase(prepared);
        } else {
            read = decodeFile(path, offset, length);
        }
        if (read.error != BASS_OK) return answer<HSTREAM>(read.error, 0);
        decoded = std::move(read.pcm);
    }
    if (!decoded) return answer<HSTREAM>(BASS_ERROR_FILEFORM, 0);
    auto pcm = std::make_shared<const PcmBuffer>(std::move(*decoded));
    const DWORD handle = lib.nextHandle++;
    if (lib.nextHandle == 0) lib.nextHandle = 1;
    Stream& stream = lib.streams[handle];
    stream.pcm = pcm;
    stream.playback = makePlayback(lib, pcm);
    return answer(BASS_OK, handle);
}

void bassPrepareFile(const char* path) {
    if (path == nullptr) return;
    const std::string name = path;
    Library& lib = library();
    std::lock_guard<std::mutex> lock(lib.mutex);
    if (lib.prepared.count(name) != 0) return;
    lib.prepared[name] = std::async(std::launch::async, [name] {
        LoadTimeline::Span span("music decode");
        return decodeFile(name.c_str(), 0, 0);
    });
}

BOOL BASS_ChannelPlay(DWORD handle, BOOL restart) {
    Library& lib = library();
    std::lock_guard<std::mutex> lock(lib.mutex);
    Stream* stream = findStream(lib, handle);
    if (stream == nullptr) return answer(BASS_ERROR_HANDLE, FALSE);
    if (restart || !stream->playback->started()) stream->playback->start();
    return answer(BASS_OK, TRUE);
}

DWORD BASS_ChannelIsActive(DWORD handle) {
    Library& lib = library();
    std::lock_guard<std::mutex> lock(lib.mutex);
    Stream* stream = findStream(lib, handle);
    if (stream == nullptr) return answer<DWORD>(BASS_ERROR_HANDLE, BASS_ACTIVE_STOPPED);
    if (!stream->playback->started()) return answer<DWORD>(BASS_OK, BASS_ACTIVE_STOPPED);
    const bool playing = stream->playback->playedFrames() < stream->pcm->frames();
    return answer<DWORD>(BASS_OK, playing ? BASS_ACTIVE_PLAYING : BASS_ACTIVE_STOPPED);
}

QWORD BASS_ChannelGetPosition(DWORD handle, DWORD mode) {
    Library& lib = library();
    std::lock_guard<std::mutex> lock(lib.mutex);
    Stream* stream = findStream(lib, handle);
    if (stream == nullptr) return answer(BASS_ERROR_HANDLE, static_cast<QWORD>(-1));
    if (mode != BASS_POS_BYTE) return answer(BASS_ERROR_ILLPARAM, static_cast<QWORD>(-1));
    return answer<QWORD>(BASS_OK, stream->playback->playedFrames() * stream->pcm->bytesPerFrame());
}

double BASS_ChannelBytes2Seconds(DWORD handle, QWORD pos) {
    Library& lib = library();
    std::lock_guard<std::mutex> lock(lib.mutex);
    Stream* stream = findStream(lib, handle);
    if (stream == nullptr) return answer(BASS_ERROR_HANDLE, -1.0);
    t_lastError = BASS_OK;
    const double bytesPerSecond = static_cast<double>(stream->pcm->rate) * stream->pcm->bytesPerFrame();
    return static_cast<double>(pos) / bytesPerSecond;
}

BOOL BASS_Free(void) {
    Library& lib = library();
    std::lock_guard<std::mutex> lock(lib.mutex);
    if (lib.output == BassOutput::None) return answer(BASS_ERROR_INIT, FALSE);
    lib.streams.clear();  // closes their devices first
    if (lib.subsystemStarted) platform::stopAudioSubsystem();
    lib.subsystemStarted = false;
    lib.device = platform::AudioDeviceChoice{};
    lib.output = BassOutput::None;
    return answer(BASS_OK, TRUE);
}

int BASS_ErrorGetCode(void) { return t_lastError; }

void bassUseManualClock(bool on) {
    Library& lib = library();
    std::lock_guard<std::mutex> lock(lib.mutex);
    lib.manualClockRequested = on;
}

void bassSetManualSeconds(double seconds) {
    Library& lib = library();
    std::lock_guard<std::mutex> lock(lib.mutex);
    lib.manualSeconds = seconds;
}

BOOL bassPause(DWORD handle, bool paused) {
    Library& lib = library();
    std::lock_guard<std::mutex> lock(lib.mutex);
    Stream* stream = findStream(lib, handle);
    if (stream == nullptr) return FALSE;
    stream->playback->setPaused(paused);
    return TRUE;
}

BOOL bassSeek(DWORD handle, double seconds) {
    Library& lib = library();
    std::lock_guard<std::mutex> lock(lib.mutex);
    Stream* stream = findStream(lib, handle);
    if (stream == nullptr) return FALSE;
    const double frames = seconds > 0.0 ? std::round(seconds * stream->pcm->rate) : 0.0;  // also NaN
    const uint64_t total = stream->pcm->frames();
    stream->playback->seek(frames >= static_cast<double>(total) ? total : static_cast<uint64_t>(frames));
    return TRUE;
}

double bassLengthSeconds(DWORD handle) {
    Library& lib = library();
    std::lock_guard<std::mutex> lock(lib.mutex);
    Stream* stream = findStream(lib, handle);
    if (stream == nullptr) return -1.0;
    return static_cast<double>(stream->pcm->frames()) / stream->pcm->rate;
}

BassOutput bassOutput() {
    Library& lib = library();
    std::lock_guard<std::mutex> lock(lib.mutex);
    return lib.output;
}
