#pragma once

// The control's own window: it holds the control's surface for the object's whole life.
// Until the container activates the control in place it is parked (a hidden pop-up window);
// activation makes it a child of the container's window, deactivation parks it again.

#include "win32/com/win32_headers.h"

namespace veldrask::com {

HWND CreateParkedControlWindow();
void PlaceControlWindow(HWND window, HWND parent, const RECT& position);
void ParkControlWindow(HWND window);
// A reference to object that the window releases from the thread's message loop, once the
// calls on the stack now have returned; false when it could not be posted.
bool PostDeferredRelease(HWND window, IUnknown* object);
// Called when the DLL is unloaded, so a later load registers the class afresh.
void UnregisterControlWindowClass();

}  // namespace veldrask::com
