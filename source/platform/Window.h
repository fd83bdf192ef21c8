// The presentation window and its GL context: each platform's own (win32/, linux/).
#pragma once

#ifdef _WIN32
#include "platform/win32/Window.h"
#else
#include "platform/linux/Window.h"
#endif
