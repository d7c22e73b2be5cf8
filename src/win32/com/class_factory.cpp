#include "win32/com/class_factory.h"

#include <new>

#include "win32/com/dll_lifetime.h"
#include "win32/com/module.h"
#include "win32/com/uploader_object.h"
#include "win32/com_object.h"

namespace veldrask::com {
namespace {

class ClassFactory final : public win32::ComObject<DllLifetime<ClassFactory>, IClassFactory> {
 public:
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** object) override {
    return win32::AnswerQuery(riid, object,
                              {{&IID_IClassFactory, static_cast<IClassFactory*>(this)}});
  }
  HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown* outer, REFIID riid, void** object) override {
    if (object == nullptr) return E_POINTER;
    *object = nullptr;
    if (outer != nullptr) return CLASS_E_NOAGGREGATION;
    return UploaderObject::Create(riid, object);
  }
  HRESULT STDMETHODCALLTYPE LockServer(BOOL lock) override {
    LockModule(lock != FALSE);
    return S_OK;
  }
};

}  // namespace

HRESULT GetUploaderClassFactory(REFIID riid, void** factory) {
  auto* created = new (std::nothrow) ClassFactory();
  if (created == nullptr) return E_OUTOFMEMORY;
  const HRESULT hr = created->QueryInterface(riid, factory);
  created->Release();
  return hr;
}

}  // namespace veldrask::com
