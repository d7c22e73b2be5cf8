#pragma once

// The control's registration: the class with its ProgIDs, the in-process server with
// apartment threading, the control and miscellaneous-status entries and the type library.

#include "win32/com/win32_headers.h"

namespace veldrask::com {

HRESULT RegisterControl();
// Removes every key RegisterControl made and the type library's registration.
HRESULT UnregisterControl();

}  // namespace veldrask::com
