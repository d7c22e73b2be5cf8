#pragma once

#include <string>
#include <string_view>

#include "options.h"
#include "platform/code_page.h"

namespace veldrask::host {

// A NAME as a browser writes a link in the page's charset: each non-ASCII character
// percent-encoded in the request's code page (ansi, or UTF-8 when utf8), the rest as typed,
// escapes already written included. A name that ansi cannot hold whole is left as typed, for
// the control to refuse as it refuses such a name from a page.
std::string NameAsSent(std::string_view name, bool utf8, const CodePage& ansi);

// The options with every download NAME as NameAsSent makes it for the control's charset.
Options WithNamesAsSent(Options options, std::string_view charset, const CodePage& ansi);

}  // namespace veldrask::host
