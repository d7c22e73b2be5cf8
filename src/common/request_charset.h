#pragma once

#include <string_view>

#include "platform/code_page.h"

namespace veldrask {

// The code page that the texts of an upload request's body (field names and values, file
// names) go out in, from the control's Charset setting: empty or any spelling of the ANSI
// code page's name gives ansi, "UTF-8" in any letter case, with or without the hyphen, gives
// utf8. Any other value raises an invalid-argument error that names it.
const CodePage& RequestCodePage(std::string_view charset, const CodePage& ansi,
                                const CodePage& utf8);

// Whether charset names UTF-8 ("UTF-8" in any letter case, with or without the hyphen).
bool NamesUtf8(std::string_view charset);

}  // namespace veldrask
