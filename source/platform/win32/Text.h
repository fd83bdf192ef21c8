// UTF-8 (the program's strings) to UTF-16 (the wide Win32 calls) and back.
// Invalid sequences become U+FFFD rather than failing: these texts are only shown.
#pragma once

#include <string>

namespace platform::win32 {

std::wstring widen(const std::string& utf8);
std::string narrow(const std::wstring& utf16);

}  // namespace platform::win32
