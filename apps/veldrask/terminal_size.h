#pragma once

#include <cstddef>

namespace veldrask::host {

// The width of the terminal on standard error, 80 when it cannot be told.
std::size_t StderrColumns();

// Whether standard error is a terminal the live block may move the cursor on: not when
// NO_COLOR is set (to anything but the empty text) or TERM is "dumb".
bool StderrTakesCursorMovement();

}  // namespace veldrask::host
