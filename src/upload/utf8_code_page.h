#pragma once

#include <string>
#include <string_view>

#include "platform/code_page.h"

namespace veldrask {

// UTF-8 as a code page (a request in the UTF-8 charset): text passes unchanged, except that
// each byte that does not belong to a valid sequence becomes "?" (Encode) or U+FFFD (Decode).
class Utf8CodePage : public CodePage {
 public:
  std::string_view Name() const override { return "UTF-8"; }
  std::string Encode(std::string_view utf8) const override;
  std::string Decode(std::string_view bytes) const override;
};

}  // namespace veldrask
