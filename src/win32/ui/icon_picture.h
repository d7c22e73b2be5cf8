#pragma once

#include <windows.h>

#include <string>

#include "platform/picture.h"

namespace veldrask::win32 {

// Pictures on Windows hold an icon: native points at the HICON itself and owns it, so the
// icon lives as long as any copy of the picture.

// A picture that takes ownership of icon (destroyed with the last copy).
Picture IconPicture(std::string name, HICON icon);
// The icon a picture holds, or null for a picture without one.
HICON IconOf(const Picture& picture);

}  // namespace veldrask::win32
