// The system's own error box, one per platform (SDL's on X11, MessageBoxW on
// Windows), behind showMessageBox (MessageBox.h), which writes standard error and
// honours the test hook first.
//
// Contract: no owner window, the caption kMessageCaption, one OK button; blocks until
// dismissed, or returns at once where nobody could dismiss it.
#pragma once

#include <string>

namespace platform {

void showNativeMessageBox(const std::string& text);

}  // namespace platform
