#pragma once

// The lifetime of every object of the DLL, for win32::ComObject: each counts as a live object
// for DllCanUnloadNow and has its references kept in the tests' ledger under Kind's name.

#include <typeinfo>

#include "win32/com/module.h"
#include "win32/com/reference_ledger.h"

namespace veldrask::com {

template <typename Kind>
struct DllLifetime {
  static void Born(const void* object) {
    ObjectCreated();
    ledger::Born(object, typeid(Kind).name());
  }
  static void Counted(const void* object, int change) { ledger::Counted(object, change); }
  static void Died(const void* object) {
    ledger::Died(object);
    ObjectDestroyed();
  }
};

}  // namespace veldrask::com
