#pragma once

// One enumerator for the connection points and their connections: a snapshot of items that
// Next hands out with a reference each, kept alive by a reference to its owner.

#include <new>
#include <vector>

#include "win32/com/dll_lifetime.h"
#include "win32/com/win32_headers.h"
#include "win32/com_object.h"

namespace veldrask::com {

inline void AddItemReference(IConnectionPoint* point) {
  point->AddRef();
}
inline void AddItemReference(CONNECTDATA& connection) {
  connection.pUnk->AddRef();
}

template <typename Interface, typename Item>
class Enumerator final
    : public win32::ComObject<DllLifetime<Enumerator<Interface, Item>>, Interface> {
 public:
  Enumerator(IUnknown* owner, std::vector<Item> items, std::size_t position = 0)
      : owner_(owner), items_(std::move(items)), position_(position) {
    owner_->AddRef();
  }

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** object) override {
    return win32::AnswerQuery(riid, object,
                              {{&__uuidof(Interface), static_cast<Interface*>(this)}});
  }

  HRESULT STDMETHODCALLTYPE Next(ULONG count, Item* out, ULONG* fetched) override {
    if (out == nullptr || (count > 1 && fetched == nullptr)) return E_POINTER;
    ULONG given = 0;
    while (given < count && position_ < items_.size()) {
      out[given] = items_[position_++];
      AddItemReference(out[given]);
      ++given;
    }
    if (fetched != nullptr) *fetched = given;
    return given == count ? S_OK : S_FALSE;
  }
  HRESULT STDMETHODCALLTYPE Skip(ULONG count) override {
    const std::size_t left = items_.size() - position_;
    position_ += count < left ? count : left;
    return count <= left ? S_OK : S_FALSE;
  }
  HRESULT STDMETHODCALLTYPE Reset() override {
    position_ = 0;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE Clone(Interface** copy) override {
    if (copy == nullptr) return E_POINTER;
    *copy = nullptr;
    try {
      *copy = new Enumerator(owner_, items_, position_);
    } catch (const std::bad_alloc&) {
      return E_OUTOFMEMORY;
    }
    return S_OK;
  }

 private:
  ~Enumerator() override { owner_->Release(); }

  IUnknown* owner_;
  std::vector<Item> items_;
  std::size_t position_;
};

}  // namespace veldrask::com
