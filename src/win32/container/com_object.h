#pragma once

// Reference counting for the container's own COM objects. They live on the thread that made
// them (an apartment), so the count needs no atomics.

#include <unknwn.h>
#include <windows.h>

#include <initializer_list>
#include <utility>

#include "win32/com_ptr.h"

namespace veldrask::container {

using win32::ComPtr;

template <typename... Interfaces>
class ComObject : public Interfaces... {
 public:
  ComObject() = default;
  ComObject(const ComObject&) = delete;
  ComObject& operator=(const ComObject&) = delete;

  ULONG STDMETHODCALLTYPE AddRef() override { return ++references_; }
  ULONG STDMETHODCALLTYPE Release() override {
    const ULONG left = --references_;
    if (left == 0) delete this;
    return left;
  }

 protected:
  virtual ~ComObject() = default;

  // QueryInterface over a table of (interface id, this as that interface); the first entry
  // also answers IUnknown.
  HRESULT Answer(REFIID asked, void** object,
                 std::initializer_list<std::pair<const IID*, void*>> offered) {
    if (object == nullptr) return E_POINTER;
    *object = nullptr;
    for (const auto& [id, pointer] : offered) {
      if (IsEqualIID(asked, *id) ||
          (IsEqualIID(asked, IID_IUnknown) && id == offered.begin()->first)) {
        *object = pointer;
        AddRef();
        return S_OK;
      }
    }
    return E_NOINTERFACE;
  }

 private:
  ULONG references_ = 1;
};

}  // namespace veldrask::container
