// Playing a decoded stream on a sound device: through SDL here, through WinMM in the
// Windows build (win32/AudioDevice.cpp), behind the same calls.
//
// SDL pulls samples on its own audio thread; the stream's position and the time of
// the last pull are shared with the caller's thread under a mutex. The device is
// opened in the stream's own rate and channel count (SDL converts for the hardware),
// so byte positions always refer to the decoded 16-bit data.
//
// SDL does not fall back to another driver when the default one has no device, so
// callers probe first and use a silent output when no device opens.
#pragma once

#include "platform/AudioOutput.h"

#include <memory>
#include <optional>
#include <string>

namespace platform {

// A playback device: the default one (no name) or one by SDL name.
struct AudioDeviceChoice {
    std::optional<std::string> name;
};

// Starts SDL's audio subsystem (reference counted by SDL). False when it cannot start.
bool startAudioSubsystem();
void stopAudioSubsystem();

// Number of playback devices SDL lists, and the name of one of them.
int audioDeviceCount();
std::optional<std::string> audioDeviceName(int index);

// True when the device opens with the given rate in stereo.
bool probeAudioDevice(const AudioDeviceChoice& device, int rate);

// Opens the device for this stream, paused until start(). Null when it does not open.
std::unique_ptr<IPlayback> openDevicePlayback(const AudioDeviceChoice& device,
                                              std::shared_ptr<const PcmBuffer> pcm);

}  // namespace platform
