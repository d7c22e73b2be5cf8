#pragma once

// A count of every AddRef and Release per object of the DLL, kept in the tests' build of it
// (compiled with VELDRASK_REFERENCE_LEDGER): a Release below zero stops the process at once, as
// does deleting an object still referenced; DllCanUnloadNow and an unload by FreeLibrary find
// every object gone, or name the ones left with their counts and stop the process. The shipped
// DLL keeps nothing and these calls cost nothing.

namespace veldrask::com::ledger {

#ifdef VELDRASK_REFERENCE_LEDGER
// object was made holding one reference; kind names its class in reports.
void Born(const void* object, const char* kind);
// change: +1 for an AddRef, -1 for a Release.
void Counted(const void* object, int change);
// object is being deleted: its references must have come to zero.
void Died(const void* object);
// The DLL has no object alive by its own count (DllCanUnloadNow) or is being unloaded: the
// ledger must agree.
void CheckNoneAlive(const char* when);
#else
inline void Born(const void*, const char*) {}
inline void Counted(const void*, int) {}
inline void Died(const void*) {}
inline void CheckNoneAlive(const char*) {}
#endif

}  // namespace veldrask::com::ledger
