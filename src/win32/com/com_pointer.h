#pragma once

// Holding interface pointers by hand: replacing one and letting one go.

namespace veldrask::com {

// Holds value (with a reference of its own) in place of what slot held.
template <typename Interface>
void Replace(Interface*& slot, Interface* value) {
  if (value != nullptr) value->AddRef();
  if (slot != nullptr) slot->Release();
  slot = value;
}

template <typename Interface>
void ReleaseAndClear(Interface*& slot) {
  if (slot != nullptr) slot->Release();
  slot = nullptr;
}

}  // namespace veldrask::com
