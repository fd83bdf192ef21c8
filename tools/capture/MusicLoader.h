// The film's music, decoded whole from the run directory (the current directory).
#pragma once

#include "platform/Mp3Decoder.h"

#include <optional>

// Nothing when the file is missing or cannot be decoded.
std::optional<platform::PcmBuffer> loadMusic();
