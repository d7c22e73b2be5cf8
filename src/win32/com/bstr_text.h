#pragma once

// The core's texts are UTF-8; COM's are UTF-16 BSTRs.

#include <string>
#include <string_view>

#include "win32/com/win32_headers.h"

namespace veldrask::com {

std::string Utf8FromWide(const wchar_t* text, std::size_t length);
std::string Utf8FromBstr(BSTR text);
std::wstring WideFromUtf8(std::string_view text);
// A new BSTR the caller frees; throws std::bad_alloc when none can be made.
BSTR BstrFromUtf8(std::string_view text);

}  // namespace veldrask::com
