#pragma once

// The one reference-counting base of the Windows code's COM objects, the control DLL's and the
// container's alike, and the one QueryInterface over a table of what an object offers. Every
// object lives on the thread that made it (an apartment), so its count needs no atomics.

#include <unknwn.h>
#include <windows.h>

#include <initializer_list>

namespace veldrask::win32 {

// One interface an object offers: its id and the object as that interface.
struct OfferedInterface {
  const IID* id;
  IUnknown* object;
};

// QueryInterface over the interfaces an object offers; the first also answers IUnknown, so
// the object has one identity. What it hands out is referenced through itself.
inline HRESULT AnswerQuery(REFIID asked, void** object,
                           std::initializer_list<OfferedInterface> offered) {
  if (object == nullptr) return E_POINTER;
  *object = nullptr;
  for (const OfferedInterface& entry : offered) {
    if (IsEqualIID(asked, *entry.id) ||
        (IsEqualIID(asked, IID_IUnknown) && &entry == offered.begin())) {
      entry.object->AddRef();
      *object = entry.object;
      return S_OK;
    }
  }
  return E_NOINTERFACE;
}

// The lifetime of an object that nothing but its references follows (the container's).
struct PlainLifetime {
  static void Born(const void*) {}
  static void Counted(const void*, int) {}
  static void Died(const void*) {}
};

// An object with the given interfaces, made holding one reference and deleted by the Release
// that lets go of the last. Lifetime hears of its birth, of each AddRef (+1) and Release (-1)
// and of its death.
template <typename Lifetime, typename... Interfaces>
class ComObject : public Interfaces... {
 public:
  ComObject(const ComObject&) = delete;
  ComObject& operator=(const ComObject&) = delete;

  ULONG STDMETHODCALLTYPE AddRef() override {
    Lifetime::Counted(this, +1);
    return ++references_;
  }
  ULONG STDMETHODCALLTYPE Release() override {
    Lifetime::Counted(this, -1);
    const ULONG left = --references_;
    if (left == 0) {
      // References taken and let go while it tears down (its sinks, its sites) must not
      // delete it again.
      references_ = 1;
      delete this;
    }
    return left;
  }

 protected:
  ComObject() { Lifetime::Born(this); }
  virtual ~ComObject() { Lifetime::Died(this); }

  ULONG References() const { return references_; }

 private:
  ULONG references_ = 1;
};

}  // namespace veldrask::win32
