// The fingerprint of the film's content in a run directory, so that parts drawn from
// different music, tracks, shaders, model or textures are never joined.
//
// Every regular file under data/ and shaders/ and every sync_*.track beside them, in
// the byte order of their paths relative to the run directory, path and bytes both,
// through 64-bit FNV-1a: 16 lowercase hex digits. It guards against mix-ups, not against
// someone forging a part. Nothing else in the run directory (captures, logs) counts.
#pragma once

#include <optional>
#include <string>

// Nothing, with the reason, when a file cannot be read or there is no data/ folder.
std::optional<std::string> contentFingerprint(const std::string& runDirectory, std::string* why);
