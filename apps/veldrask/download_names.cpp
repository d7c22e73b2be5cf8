#include "download_names.h"

#include <cstdio>

#include "base/text.h"
#include "common/request_charset.h"

namespace veldrask::host {
namespace {

void AppendEscaped(std::string& out, std::string_view bytes) {
  for (const char byte : bytes) {
    char escape[4];
    std::snprintf(escape, sizeof escape, "%%%02X", static_cast<unsigned char>(byte));
    out += escape;
  }
}

}  // namespace

std::string NameAsSent(std::string_view name, bool utf8, const CodePage& ansi) {
  std::string sent;
  for (std::size_t offset = 0; offset < name.size();) {
    const std::size_t start = offset;
    NextCodePoint(name, offset);
    const std::string_view character = name.substr(start, offset - start);
    if (static_cast<unsigned char>(character.front()) < 0x80) {
      sent += character;
      continue;
    }
    if (utf8) {
      AppendEscaped(sent, character);
      continue;
    }
    const std::string bytes = ansi.Encode(character);
    if (bytes == "?") {
      // Left as typed: the control refuses it with its own message, as for a page.
      sent += character;
      continue;
    }
    AppendEscaped(sent, bytes);
  }
  return sent;
}

Options WithNamesAsSent(Options options, std::string_view charset, const CodePage& ansi) {
  const bool utf8 = NamesUtf8(charset);
  for (NamedSize& file : options.downloads) file.name = NameAsSent(file.name, utf8, ansi);
  return options;
}

}  // namespace veldrask::host
