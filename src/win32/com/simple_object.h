#pragma once

// The reference counting and QueryInterface of an object with one interface (the class
// factory, the enumerators). Each counts as a live object for DllCanUnloadNow.

#include <typeinfo>

#include "win32/com/module.h"
#include "win32/com/reference_ledger.h"
#include "win32/com/win32_headers.h"

namespace veldrask::com {

template <typename Derived, typename Interface>
class SimpleObject : public Interface {
 public:
  SimpleObject() {
    ObjectCreated();
    ledger::Born(this, typeid(Derived).name());
  }
  SimpleObject(const SimpleObject&) = delete;
  SimpleObject& operator=(const SimpleObject&) = delete;

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** object) override {
    if (object == nullptr) return E_POINTER;
    if (IsEqualIID(riid, IID_IUnknown) || IsEqualIID(riid, __uuidof(Interface))) {
      *object = static_cast<Interface*>(this);
      AddRef();
      return S_OK;
    }
    *object = nullptr;
    return E_NOINTERFACE;
  }
  ULONG STDMETHODCALLTYPE AddRef() override {
    ledger::Counted(this, +1);
    return ++references_;
  }
  ULONG STDMETHODCALLTYPE Release() override {
    ledger::Counted(this, -1);
    const ULONG left = --references_;
    if (left == 0) delete static_cast<Derived*>(this);
    return left;
  }

 protected:
  ~SimpleObject() {
    ledger::Died(this);
    ObjectDestroyed();
  }

 private:
  ULONG references_ = 1;
};

}  // namespace veldrask::com
