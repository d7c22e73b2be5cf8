#pragma once

#include <string>
#include <string_view>

namespace veldrask::win32 {

// UTF-8 at the seam, UTF-16 for Windows. Embedded NUL characters are kept (a multiple file
// selection holds them); invalid sequences become U+FFFD.
std::wstring Widen(std::string_view utf8);
std::string Narrow(std::wstring_view utf16);

}  // namespace veldrask::win32
