#include "platform/win32/Text.h"

#include <windows.h>

namespace platform::win32 {

std::wstring widen(const std::string& utf8) {
    if (utf8.empty()) return std::wstring();
    const int size = static_cast<int>(utf8.size());
    const int length = MultiByteToWideChar(CP_UTF8, 0, utf8.data(), size, nullptr, 0);
    std::wstring wide(static_cast<size_t>(length), L'\0');
    if (length > 0) MultiByteToWideChar(CP_UTF8, 0, utf8.data(), size, &wide[0], length);
    return wide;
}

std::string narrow(const std::wstring& utf16) {
    if (utf16.empty()) return std::string();
    const int size = static_cast<int>(utf16.size());
    const int length = WideCharToMultiByte(CP_UTF8, 0, utf16.data(), size, nullptr, 0, nullptr, nullptr);
    std::string text(static_cast<size_t>(length), '\0');
    if (length > 0) WideCharToMultiByte(CP_UTF8, 0, utf16.data(), size, &text[0], length, nullptr, nullptr);
    return text;
}

}  // namespace platform::win32
