#include "upload/utf8_code_page.h"

#include "base/text.h"

namespace veldrask {
namespace {

std::string Repaired(std::string_view text, std::string_view replacement) {
  if (IsValidUtf8(text)) return std::string(text);
  std::string out;
  out.reserve(text.size());
  std::size_t offset = 0;
  while (offset < text.size()) {
    const std::size_t start = offset;
    NextCodePoint(text, offset);
    // An invalid byte advances by one; a valid sequence is copied as it is (even U+FFFD).
    if (offset == start + 1 && static_cast<unsigned char>(text[start]) >= 0x80) {
      out += replacement;
    } else {
      out.append(text.substr(start, offset - start));
    }
  }
  return out;
}

}  // namespace

std::string Utf8CodePage::Encode(std::string_view utf8) const {
  return Repaired(utf8, "?");
}

std::string Utf8CodePage::Decode(std::string_view bytes) const {
  return Repaired(bytes, "\xEF\xBF\xBD");
}

}  // namespace veldrask
