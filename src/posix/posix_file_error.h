#pragma once

#include <string>

#include "base/error.h"

namespace veldrask::posix {

// The control's error for a failed file operation on path: errno mapped to the error numbers
// that scripts know (file not found, path not found, permission denied, ...).
Error FileError(int errnoValue, const std::string& path);

}  // namespace veldrask::posix
