#pragma once

#include <string>
#include <string_view>

namespace veldrask::win32 {

// The backend's one crossing between the core's UTF-8 and the system's UTF-16. Invalid UTF-8
// becomes U+FFFD; so does a lone surrogate on the way back.
std::wstring Widen(std::string_view utf8);
std::string Narrow(std::wstring_view utf16);

// The system's description of an error code (a Win32 or Winsock number) in the user's language,
// without the trailing line break; "" when the system has none.
std::string SystemMessage(unsigned long code);

}  // namespace veldrask::win32
