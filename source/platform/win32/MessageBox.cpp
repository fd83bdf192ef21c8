#include "platform/MessageBox.h"

#include "platform/win32/Text.h"

#include <windows.h>

#include <cstdio>

namespace platform {

const char* const kMessageCaption = "Oh my god! No Wayyyy!";

namespace {
std::function<void(const std::string&)>& hook() {
    static std::function<void(const std::string&)> h;
    return h;
}
}  // namespace

void setMessageBoxHook(std::function<void(const std::string&)> h) {
    hook() = std::move(h);
}

void showMessageBox(const std::string& text) {
    std::fprintf(stderr, "%s: %s\n", kMessageCaption, text.c_str());
    std::fflush(stderr);
    if (hook()) {
        hook()(text);
        return;
    }
    // Wide, so a file name in the text reads right whatever the system's code page.
    MessageBoxW(nullptr, win32::widen(text).c_str(), win32::widen(kMessageCaption).c_str(), MB_OK);
}

}  // namespace platform
