#include "download_names.h"

#include "common/request_charset.h"
#include "download/download_request.h"

namespace veldrask::host {

std::string NameAsSent(std::string_view name, bool utf8, const CodePage& ansi) {
  if (utf8) return PercentEncodeNonAscii(name);
  const std::string bytes = ansi.Encode(name);
  // Not wholly in the code page: left as typed, for the control to refuse with its own
  // message, as it refuses such a name from a page.
  if (ansi.Decode(bytes) != name) return std::string(name);
  return PercentEncodeNonAscii(bytes);
}

Options WithNamesAsSent(Options options, std::string_view charset, const CodePage& ansi) {
  const bool utf8 = NamesUtf8(charset);
  for (NamedSize& file : options.downloads) file.name = NameAsSent(file.name, utf8, ansi);
  return options;
}

}  // namespace veldrask::host
