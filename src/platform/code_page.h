#pragma once

#include <string>
#include <string_view>

namespace veldrask {

// Conversion between the core's UTF-8 text and the bytes of a code page (the system's ANSI
// code page, CP949 by default).
class CodePage {
 public:
  virtual ~CodePage() = default;

  // The code page's name, e.g. "CP949".
  virtual std::string_view Name() const = 0;
  // UTF-8 -> code page bytes; a character the code page cannot represent becomes "?".
  virtual std::string Encode(std::string_view utf8) const = 0;
  // Code page bytes -> UTF-8; a byte sequence that is not a character becomes U+FFFD.
  virtual std::string Decode(std::string_view bytes) const = 0;
};

}  // namespace veldrask
