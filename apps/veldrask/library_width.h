#pragma once

#include <cstddef>
#include <optional>

namespace veldrask::host {

// The columns the C library's wcwidth gives c under a UTF-8 character type, whatever the
// process's own locale; none when the library does not know c (or has no such locale).
std::optional<std::size_t> LibraryColumns(char32_t c);

}  // namespace veldrask::host
