#pragma once

#include <memory>
#include <string>
#include <string_view>

#include "platform/code_page.h"

namespace veldrask::posix {

// A code page converted through iconv. Characters the code page lacks become one "?" each and
// invalid UTF-8 bytes one "?" each (Encode); byte sequences that are not characters of the
// code page become U+FFFD (Decode). Text of ASCII only is copied without iconv when the code
// page keeps ASCII as it is. One object is used by one thread at a time.
class IconvCodePage : public CodePage {
 public:
  // Raises std::invalid_argument when iconv does not know the code page.
  explicit IconvCodePage(std::string name = "CP949");
  ~IconvCodePage() override;
  IconvCodePage(const IconvCodePage&) = delete;
  IconvCodePage& operator=(const IconvCodePage&) = delete;

  std::string_view Name() const override { return name_; }
  std::string Encode(std::string_view utf8) const override;
  std::string Decode(std::string_view bytes) const override;

 private:
  class Converter;

  std::string name_;
  std::unique_ptr<Converter> encoder_;
  std::unique_ptr<Converter> decoder_;
  bool asciiCompatible_ = false;
};

}  // namespace veldrask::posix
