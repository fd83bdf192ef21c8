#include "platform/MessageBox.h"
#include "platform/NativeMessageBox.h"

#include "platform/win32/Text.h"

#include <windows.h>

namespace platform {

void showNativeMessageBox(const std::string& text) {
    // Wide, so a file name in the text reads right whatever the system's code page.
    MessageBoxW(nullptr, win32::widen(text).c_str(), win32::widen(kMessageCaption).c_str(), MB_OK);
}

}  // namespace platform
