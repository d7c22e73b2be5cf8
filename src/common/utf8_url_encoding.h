#pragma once

// URL text for servers that read UTF-8 (the control's Charset set to UTF-8): every escape is
// one byte of UTF-8, as browsers of today write them ("%EB%B3%B4" is 보).

#include <string>
#include <string_view>

#include "platform/code_page.h"

namespace veldrask {

// Replaces each "%" and two hexadecimal digits by that byte and reads the result as UTF-8
// (bytes that are no UTF-8 become U+FFFD); "+" and every other character are copied. Raises
// Error(kTypeMismatch) for a "%" that two hexadecimal digits do not follow.
std::string UrlDecodeUtf8(std::string_view text);

// Keeps ASCII letters and digits, turns the space into "+" and escapes every other byte of the
// UTF-8 text as "%" and two upper-case hexadecimal digits.
std::string UrlEncodeUtf8(std::string_view text);

// A server path as the download list shows it: decoded from UTF-8 when utf8, else by the
// control's own decoder in the ANSI code page.
std::string DecodeServerPath(std::string_view path, const CodePage& ansi, bool utf8);

}  // namespace veldrask
