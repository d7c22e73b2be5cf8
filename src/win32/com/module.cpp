#include "win32/com/module.h"

#include <atomic>

namespace veldrask::com {
namespace {

HINSTANCE g_module = nullptr;
std::atomic<long> g_objects{0};
std::atomic<long> g_locks{0};

}  // namespace

void SetModuleHandle(HINSTANCE module) {
  g_module = module;
}

HINSTANCE ModuleHandle() {
  return g_module;
}

std::wstring ModulePath() {
  std::wstring path(MAX_PATH, L'\0');
  for (;;) {
    const DWORD length = GetModuleFileNameW(g_module, path.data(), static_cast<DWORD>(path.size()));
    if (length == 0) return {};
    if (length < path.size()) {
      path.resize(length);
      return path;
    }
    path.resize(path.size() * 2);
  }
}

void ObjectCreated() {
  ++g_objects;
}

void ObjectDestroyed() {
  --g_objects;
}

void LockModule(bool lock) {
  if (lock) {
    ++g_locks;
  } else {
    --g_locks;
  }
}

bool ModuleInUse() {
  return g_objects > 0 || g_locks > 0;
}

HRESULT LoadOwnTypeLib(ITypeLib** library) {
  // REGKIND_NONE: loading is no registration; DllRegisterServer registers explicitly.
  return LoadTypeLibEx(ModulePath().c_str(), REGKIND_NONE, library);
}

HRESULT LoadOwnTypeInfo(REFGUID guid, ITypeInfo** info) {
  *info = nullptr;
  ITypeLib* library = nullptr;
  HRESULT hr = LoadOwnTypeLib(&library);
  if (FAILED(hr)) return hr;
  hr = library->GetTypeInfoOfGuid(guid, info);
  library->Release();
  return hr;
}

}  // namespace veldrask::com
