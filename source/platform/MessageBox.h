// Message boxes for errors the viewer should see.
//
// Every box of the program has no owner window, the caption "Oh my god! No Wayyyy!"
// and one OK button. The text is also written to standard error, so a run without a
// display still says why it ended. Tests install a hook that records the text
// instead of showing anything.
#pragma once

#include <functional>
#include <string>

namespace platform {

extern const char* const kMessageCaption;

// Shows the box and blocks until it is dismissed.
void showMessageBox(const std::string& text);

// Replaces the box (not the standard-error line) while set; pass nullptr to restore.
void setMessageBoxHook(std::function<void(const std::string&)> hook);

}  // namespace platform
