// A window that is never shown, made only to carry a GL context: the setup dialog's
// probe and the test context each need one before any window of the film exists.
//
// Registers a class of the given name (own device context, default procedure) and
// creates the window, not visible, at the top left, `edge` pixels square. Null when
// the window cannot be made (a second registration of the class is harmless).
#pragma once

#include <windows.h>

namespace platform::win32 {

HWND createHiddenWindow(const wchar_t* className, const wchar_t* title, DWORD style, int edge, HWND owner);

}  // namespace platform::win32
