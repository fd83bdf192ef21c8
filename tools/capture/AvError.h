// FFmpeg's error codes as text for our messages.
#pragma once

#include <string>

std::string describeAvError(int error);
