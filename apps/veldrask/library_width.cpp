#include "library_width.h"

#include <locale.h>
#include <wchar.h>

namespace veldrask::host {
namespace {

// One UTF-8 character-type locale for the process, made on first use and kept.
locale_t Utf8CharacterTypes() {
  static const locale_t utf8 = [] {
    locale_t made = ::newlocale(LC_CTYPE_MASK, "C.UTF-8", static_cast<locale_t>(nullptr));
    if (made == static_cast<locale_t>(nullptr)) {
      made = ::newlocale(LC_CTYPE_MASK, "en_US.UTF-8", static_cast<locale_t>(nullptr));
    }
    return made;
  }();
  return utf8;
}

}  // namespace

std::optional<std::size_t> LibraryColumns(char32_t c) {
  const locale_t utf8 = Utf8CharacterTypes();
  if (utf8 == static_cast<locale_t>(nullptr)) return std::nullopt;
  const locale_t previous = ::uselocale(utf8);
  const int columns = ::wcwidth(static_cast<wchar_t>(c));
  ::uselocale(previous);
  if (columns < 0) return std::nullopt;
  return static_cast<std::size_t>(columns);
}

}  // namespace veldrask::host
