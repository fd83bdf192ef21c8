#include "platform/Mp3Decoder.h"

#include <mpg123.h>

#include <algorithm>
#include <cstring>
#include <memory>
#include <mutex>

namespace platform {

namespace {

// mpg123 reads through these callbacks so files and memory blocks decode alike,
// with seeking available for the LAME tag and gapless trimming.
struct MemoryReader {
    const unsigned char* data = nullptr;
    size_t size = 0;
    size_t position = 0;
};

ssize_t readMemory(void* handle, void* buffer, size_t count) {
    MemoryReader* reader = static_cast<MemoryReader*>(handle);
    size_t available = reader->size - reader->position;
    size_t n = std::min(count, available);
    if (n > 0) std::memcpy(buffer, reader->data + reader->position, n);
    reader->position += n;
    return static_cast<ssize_t>(n);
}

off_t seekMemory(void* handle, off_t offset, int whence) {
    MemoryReader* reader = static_cast<MemoryReader*>(handle);
    off_t base = 0;
    if (whence == SEEK_CUR) base = static_cast<off_t>(reader->position);
    if (whence == SEEK_END) base = static_cast<off_t>(reader->size);
    off_t target = base + offset;
    if (target < 0 || target > static_cast<off_t>(reader->size)) return -1;
    reader->position = static_cast<size_t>(target);
    return target;
}

struct HandleDeleter {
    void operator()(mpg123_handle* handle) const {
        mpg123_close(handle);
        mpg123_delete(handle);
    }
};

void initLibraryOnce() {
    static std::once_flag once;
    std::call_once(once, [] { mpg123_init(); });
}

// Far more than any MP3 decodes to: a 32 kbit/s mono stream at 48 kHz gives 12 per byte.
constexpr size_t kMostSamplesPerByte = 16;

// Every rate, mono and stereo, but only signed 16-bit samples.
void acceptOnlySigned16(mpg123_handle* handle) {
    mpg123_format_none(handle);
    const long* rates = nullptr;
    size_t rateCount = 0;
    mpg123_rates(&rates, &rateCount);
    for (size_t i = 0; i < rateCount; ++i)
        mpg123_format(handle, rates[i], MPG123_MONO | MPG123_STEREO, MPG123_ENC_SIGNED_16);
}

}  // namespace

std::optional<PcmBuffer> decodeMp3(const unsigned char* data, size_t size) {
    if (data == nullptr || size == 0) return std::nullopt;
    initLibraryOnce();
    int error = MPG123_OK;
    std::unique_ptr<mpg123_handle, HandleDeleter> handle(mpg123_new(nullptr, &error));
    if (!handle) return std::nullopt;
    mpg123_param(handle.get(), MPG123_ADD_FLAGS, MPG123_QUIET, 0.0);
    acceptOnlySigned16(handle.get());

    MemoryReader reader;
    reader.data = data;
    reader.size = size;
    if (mpg123_replace_reader_handle(handle.get(), readMemory, seekMemory, nullptr) != MPG123_OK)
        return std::nullopt;
    if (mpg123_open_handle(handle.get(), &reader) != MPG123_OK) return std::nullopt;

    long rate = 0;
    int channels = 0;
    int encoding = 0;
    if (mpg123_getformat(handle.get(), &rate, &channels, &encoding) != MPG123_OK) return std::nullopt;

    PcmBuffer pcm;
    pcm.rate = static_cast<int>(rate);
    pcm.channels = channels;
    // The length the stream declares (or mpg123 estimates from its size) spares the growing
    // buffer its copies and first touches; the bound keeps a lying header from reserving
    // more than such a file could hold.
    const off_t declared = mpg123_length(handle.get());
    if (declared > 0 && channels > 0) {
        const size_t wanted = static_cast<size_t>(declared) * static_cast<size_t>(channels);
        pcm.samples.reserve(std::min(wanted, size * kMostSamplesPerByte));
    }
    std::vector<unsigned char> chunk(64 * 1024);
    for (;;) {
        size_t got = 0;
        int result = mpg123_read(handle.get(), chunk.data(), chunk.size(), &got);
        if (got > 0) {
            const size_t sampleCount = got / sizeof(int16_t);
            const size_t old = pcm.samples.size();
            pcm.samples.resize(old + sampleCount);
            std::memcpy(pcm.samples.data() + old, chunk.data(), sampleCount * sizeof(int16_t));
        }
        if (result == MPG123_OK) continue;
        if (result == MPG123_NEW_FORMAT) {
            // A stream whose format changes midway would need resampling; keep what
            // decoded in the first format and stop there.
            mpg123_getformat(handle.get(), &rate, &channels, &encoding);
            if (rate == pcm.rate && channels == pcm.channels) continue;
            if (!pcm.samples.empty()) break;
            pcm.rate = static_cast<int>(rate);
            pcm.channels = channels;
            continue;
        }
        break;  // MPG123_DONE, or an error after which nothing more decodes
    }
    // A partial frame at the end (never expected from mpg123) would break the byte arithmetic.
    if (pcm.channels <= 0 || pcm.rate <= 0) return std::nullopt;
    pcm.samples.resize(pcm.frames() * static_cast<size_t>(pcm.channels));
    if (pcm.samples.empty()) return std::nullopt;
    return pcm;
}

}  // namespace platform
