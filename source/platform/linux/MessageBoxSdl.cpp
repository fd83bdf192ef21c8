#include "platform/MessageBox.h"
#include "platform/NativeMessageBox.h"

#include <SDL.h>

#include <cstdlib>

namespace platform {

void showNativeMessageBox(const std::string& text) {
    // Without a display there is nobody to click OK; standard error already has the text.
    const char* display = std::getenv("DISPLAY");
    const char* wayland = std::getenv("WAYLAND_DISPLAY");
    if ((display == nullptr || *display == '\0') && (wayland == nullptr || *wayland == '\0')) return;
    SDL_ShowSimpleMessageBox(SDL_MESSAGEBOX_ERROR, kMessageCaption, text.c_str(), nullptr);
}

}  // namespace platform
