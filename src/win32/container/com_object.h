#pragma once

// Reference counting for the container's own COM objects. They live on the thread that made
// them (an apartment), so the count needs no atomics.

#include <unknwn.h>
#include <windows.h>

#include <initializer_list>
#include <utility>

namespace veldrask::container {

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

// An owning interface pointer.
template <typename Interface>
class ComPtr {
 public:
  ComPtr() = default;
  // Takes over a reference the caller holds.
  explicit ComPtr(Interface* adopted) : pointer_(adopted) {}
  ComPtr(const ComPtr&) = delete;
  ComPtr& operator=(const ComPtr&) = delete;
  ComPtr(ComPtr&& other) noexcept : pointer_(std::exchange(other.pointer_, nullptr)) {}
  ComPtr& operator=(ComPtr&& other) noexcept {
    if (this != &other) {
      Reset();
      pointer_ = std::exchange(other.pointer_, nullptr);
    }
    return *this;
  }
  ~ComPtr() { Reset(); }

  void Reset() {
    if (pointer_ != nullptr) std::exchange(pointer_, nullptr)->Release();
  }
  Interface* Get() const { return pointer_; }
  Interface* operator->() const { return pointer_; }
  explicit operator bool() const { return pointer_ != nullptr; }
  // For the out parameter of a call that hands over a reference.
  Interface** Out() {
    Reset();
    return &pointer_;
  }
  void** OutVoid() { return reinterpret_cast<void**>(Out()); }

  template <typename Other>
  ComPtr<Other> As(REFIID id) const {
    ComPtr<Other> other;
    if (pointer_ != nullptr) pointer_->QueryInterface(id, other.OutVoid());
    return other;
  }

 private:
  Interface* pointer_ = nullptr;
};

}  // namespace veldrask::container
