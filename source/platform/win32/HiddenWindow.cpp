#include "platform/win32/HiddenWindow.h"

namespace platform::win32 {

HWND createHiddenWindow(const wchar_t* className, const wchar_t* title, DWORD style, int edge, HWND owner) {
    HINSTANCE instance = GetModuleHandleW(nullptr);
    WNDCLASSW windowClass;
    ZeroMemory(&windowClass, sizeof windowClass);
    // A GL context binds to one device context for the window's life.
    windowClass.style = CS_OWNDC;
    windowClass.lpfnWndProc = DefWindowProcW;
    windowClass.hInstance = instance;
    windowClass.lpszClassName = className;
    RegisterClassW(&windowClass);
    return CreateWindowExW(0, className, title, style, 0, 0, edge, edge, owner, nullptr, instance, nullptr);
}

}  // namespace platform::win32
