#pragma once

// The one owning interface pointer of the Windows code: the control DLL's objects and the
// container hold every interface they keep through it.

#include <unknwn.h>
#include <windows.h>

#include <utility>

namespace veldrask::win32 {

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
  // Holds value with a reference of its own in place of what was held (null: nothing).
  void Assign(Interface* value) {
    if (value != nullptr) value->AddRef();
    Reset();
    pointer_ = value;
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

}  // namespace veldrask::win32
