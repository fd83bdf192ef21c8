#include "platform/MessageBox.h"

#include <SDL.h>

#include <cstdio>

namespace platform {

const char* const kMessageCaption = "Oh my god! No Wayyyy!";

namespace {
std::function<void(const std::string&)>& hook() {
    static std::function<void(const std::string&)> h;
    return h;
}
}  // namespace

void setMessageBoxHook(std::function<void(const std::string&)> h) { hook() = std::move(h); }

void showMessageBox(const std::string& text) {
    std::fprintf(stderr, "%s: %s\n", kMessageCaption, text.c_str());
    std::fflush(stderr);
    if (hook()) {
        hook()(text);
        return;
    }
    // Without a display there is nobody to click OK; standard error already has the text.
    const char* display = std::getenv("DISPLAY");
    const char* wayland = std::getenv("WAYLAND_DISPLAY");
    if ((display == nullptr || *display == '\0') && (wayland == nullptr || *wayland == '\0')) return;
    SDL_ShowSimpleMessageBox(SDL_MESSAGEBOX_ERROR, kMessageCaption, text.c_str(), nullptr);
}

}  // namespace platform
