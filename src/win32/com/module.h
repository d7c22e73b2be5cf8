#pragma once

// What the whole DLL shares: its module handle, the count of live objects and container
// locks (DllCanUnloadNow), and the type library embedded in it.

#include <string>

#include "win32/com/win32_headers.h"

namespace veldrask::com {

void SetModuleHandle(HINSTANCE module);
HINSTANCE ModuleHandle();
// The full path of this DLL.
std::wstring ModulePath();

// Live objects (the control and the objects it hands out) and IClassFactory::LockServer.
void ObjectCreated();
void ObjectDestroyed();
void LockModule(bool lock);
bool ModuleInUse();

// The embedded type library and the type information of one of its types; the caller
// releases what it gets.
HRESULT LoadOwnTypeLib(ITypeLib** library);
HRESULT LoadOwnTypeInfo(REFGUID guid, ITypeInfo** info);

}  // namespace veldrask::com
