#pragma once

// Makes the control object: through the registry by its ProgID when it is registered, or from
// its DLL directly (DllGetClassObject) when it is not.

#include <oleidl.h>
#include <windows.h>

#include <string>

#include "win32/com_ptr.h"

namespace veldrask::container {

struct ControlSource {
  std::string progId;   // "Library.Class"; the class's name in the DLL's type library
  std::string dllPath;  // used when the ProgID is not registered; may be empty
};

// A created control and, when it came from its DLL, the module that must outlive it.
struct CreatedControl {
  win32::ComPtr<IOleObject> object;
  HMODULE module = nullptr;
  bool fromRegistry = false;
};

// Throws std::runtime_error naming what failed.
CreatedControl CreateControl(const ControlSource& source);

// Unloads a DLL the control came from, once it says nothing of it is alive.
void ReleaseModule(HMODULE module);

}  // namespace veldrask::container
