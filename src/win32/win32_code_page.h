#pragma once

#include <string>
#include <string_view>

#include "platform/code_page.h"

namespace veldrask::win32 {

// A code page converted by the system (MultiByteToWideChar, WideCharToMultiByte) with the
// rules of the POSIX one: a character the code page lacks becomes one "?" (no best-fit
// look-alikes), a byte sequence that is not a character becomes U+FFFD.
class Win32CodePage : public CodePage {
 public:
  explicit Win32CodePage(unsigned codePage = 949);

  std::string_view Name() const override { return name_; }
  std::string Encode(std::string_view utf8) const override;
  std::string Decode(std::string_view bytes) const override;

 private:
  unsigned codePage_;
  std::string name_;
};

}  // namespace veldrask::win32
