#pragma once

// The control's own window while it is active in place: a child of the container's window
// that holds the control's surface.

#include "win32_headers.h"

namespace veldrask::com {

HWND CreateControlWindow(HWND parent, const RECT& position);
// Called when the DLL is unloaded, so a later load registers the class afresh.
void UnregisterControlWindowClass();

}  // namespace veldrask::com
