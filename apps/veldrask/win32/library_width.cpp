#include "library_width.h"

namespace veldrask::host {

// The Windows C library has no wcwidth: the host's own table decides every width.
std::optional<std::size_t> LibraryColumns(char32_t /*c*/) {
  return std::nullopt;
}

}  // namespace veldrask::host
