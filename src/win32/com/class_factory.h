#pragma once

#include "win32/com/win32_headers.h"

namespace veldrask::com {

// The class factory of UploaderControl (one per DllGetClassObject call).
HRESULT GetUploaderClassFactory(REFIID riid, void** factory);

}  // namespace veldrask::com
