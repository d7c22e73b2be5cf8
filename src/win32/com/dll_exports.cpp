// The four entry points of a self-registering in-process server.

#include "veldrask_uploader.h"
#include "win32/com/class_factory.h"
#include "win32/com/control_window.h"
#include "win32/com/module.h"
#include "win32/com/reference_ledger.h"
#include "win32/com/registration.h"
#include "win32/com/win32_headers.h"

using veldrask::com::GetUploaderClassFactory;

extern "C" BOOL WINAPI DllMain(HINSTANCE module, DWORD reason, LPVOID reserved) {
  if (reason == DLL_PROCESS_ATTACH) {
    veldrask::com::SetModuleHandle(module);
    DisableThreadLibraryCalls(module);
  } else if (reason == DLL_PROCESS_DETACH && reserved == nullptr) {
    // Unloaded by FreeLibrary: nothing of it may be alive (at process exit a host may leave
    // its objects unreleased). The window class goes with the code.
    veldrask::com::ledger::CheckNoneAlive("at the DLL's unload");
    veldrask::com::UnregisterControlWindowClass();
  }
  return TRUE;
}

extern "C" HRESULT STDAPICALLTYPE DllGetClassObject(REFCLSID clsid, REFIID riid, LPVOID* object) {
  if (object == nullptr) return E_POINTER;
  *object = nullptr;
  if (!IsEqualCLSID(clsid, CLSID_UploaderControl)) return CLASS_E_CLASSNOTAVAILABLE;
  return GetUploaderClassFactory(riid, object);
}

extern "C" HRESULT STDAPICALLTYPE DllCanUnloadNow() {
  if (veldrask::com::ModuleInUse()) return S_FALSE;
  veldrask::com::ledger::CheckNoneAlive("when the DLL said it may unload");
  return S_OK;
}

extern "C" HRESULT STDAPICALLTYPE DllRegisterServer() {
  return veldrask::com::RegisterControl();
}

extern "C" HRESULT STDAPICALLTYPE DllUnregisterServer() {
  return veldrask::com::UnregisterControl();
}
