#include "platform/MessageBox.h"

#include "platform/NativeMessageBox.h"

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
    showNativeMessageBox(text);
}

}  // namespace platform
