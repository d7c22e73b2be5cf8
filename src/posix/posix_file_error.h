#pragma once

#include <string>

#include "base/error.h"

namespace veldrask::posix {

// The control's error for a failed file operation on path: errno mapped to the error numbers
// that scripts know (file not found, path not found, permission denied, ...).
Error FileError(int errnoValue, const std::string& path);

// Raises "bad file name" for a path the operating system cannot take as it is: empty, or
// holding a NUL character (a C path would silently end there).
void CheckPathName(const std::string& path);

}  // namespace veldrask::posix
