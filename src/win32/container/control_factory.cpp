#include "win32/container/control_factory.h"

#include <oleauto.h>

#include <cstdio>
#include <stdexcept>

#include "win32/wide_text.h"

namespace veldrask::container {
namespace {

std::runtime_error Failure(const std::string& what, HRESULT result) {
  char number[16];
  std::snprintf(number, sizeof number, "0x%08lX", static_cast<unsigned long>(result));
  return std::runtime_error(what + ": " + win32::SystemMessage(static_cast<unsigned long>(result)) +
                            " (" + number + ")");
}

// The class id of the coclass named className in the type library embedded in the DLL.
CLSID ClassInLibrary(const std::wstring& dll, const std::wstring& className) {
  win32::ComPtr<ITypeLib> library;
  const HRESULT loaded = LoadTypeLibEx(dll.c_str(), REGKIND_NONE, library.Out());
  if (FAILED(loaded)) throw Failure("no type library in " + win32::Narrow(dll), loaded);
  for (UINT index = 0; index < library->GetTypeInfoCount(); ++index) {
    TYPEKIND kind{};
    BSTR name = nullptr;
    if (FAILED(library->GetTypeInfoType(index, &kind)) || kind != TKIND_COCLASS ||
        FAILED(
            library->GetDocumentation(static_cast<INT>(index), &name, nullptr, nullptr, nullptr))) {
      continue;
    }
    const bool match = className == std::wstring_view(name, SysStringLen(name));
    SysFreeString(name);
    if (!match) continue;
    win32::ComPtr<ITypeInfo> info;
    TYPEATTR* attributes = nullptr;
    if (FAILED(library->GetTypeInfo(index, info.Out())) || FAILED(info->GetTypeAttr(&attributes))) {
      break;
    }
    const CLSID id = attributes->guid;
    info->ReleaseTypeAttr(attributes);
    return id;
  }
  throw std::runtime_error("no class " + win32::Narrow(className) + " in " + win32::Narrow(dll));
}

CreatedControl FromDll(const ControlSource& source) {
  const std::wstring dll = win32::Widen(source.dllPath);
  const std::wstring progId = win32::Widen(source.progId);
  const CLSID id = ClassInLibrary(dll, progId.substr(progId.find(L'.') + 1));
  HMODULE module = LoadLibraryW(dll.c_str());
  if (module == nullptr)
    throw Failure("cannot load " + source.dllPath, HRESULT_FROM_WIN32(GetLastError()));
  using GetClassObject = HRESULT(STDAPICALLTYPE*)(REFCLSID, REFIID, void**);
  auto entry = reinterpret_cast<GetClassObject>(
      reinterpret_cast<void*>(GetProcAddress(module, "DllGetClassObject")));
  win32::ComPtr<IClassFactory> factory;
  HRESULT result = entry != nullptr ? entry(id, IID_IClassFactory, factory.OutVoid())
                                    : HRESULT_FROM_WIN32(ERROR_PROC_NOT_FOUND);
  CreatedControl created;
  if (SUCCEEDED(result)) {
    result = factory->CreateInstance(nullptr, IID_IOleObject, created.object.OutVoid());
  }
  factory.Reset();
  if (FAILED(result)) {
    FreeLibrary(module);
    throw Failure("cannot create " + source.progId + " from " + source.dllPath, result);
  }
  created.module = module;
  return created;
}

}  // namespace

CreatedControl CreateControl(const ControlSource& source) {
  CLSID id{};
  const std::wstring progId = win32::Widen(source.progId);
  const HRESULT found = CLSIDFromProgID(progId.c_str(), &id);
  if (SUCCEEDED(found)) {
    CreatedControl created;
    const HRESULT made = CoCreateInstance(id, nullptr, CLSCTX_INPROC_SERVER, IID_IOleObject,
                                          created.object.OutVoid());
    if (FAILED(made)) throw Failure("cannot create " + source.progId, made);
    created.fromRegistry = true;
    return created;
  }
  if (source.dllPath.empty()) throw Failure(source.progId + " is not registered", found);
  return FromDll(source);
}

void ReleaseModule(HMODULE module) {
  if (module == nullptr) return;
  using CanUnloadNow = HRESULT(STDAPICALLTYPE*)();
  auto canUnload = reinterpret_cast<CanUnloadNow>(
      reinterpret_cast<void*>(GetProcAddress(module, "DllCanUnloadNow")));
  if (canUnload != nullptr && canUnload() == S_OK) FreeLibrary(module);
}

}  // namespace veldrask::container
