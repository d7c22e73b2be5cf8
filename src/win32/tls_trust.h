#pragma once

#include <cstddef>
#include <string_view>

#include "win32/windows_api.h"
// After the Windows headers above.
#include <wincrypt.h>  // NOLINT(llvm-include-order)

namespace veldrask::win32 {

// What a server's certificate must chain to. A page's connections trust the system's store
// alone; a host may add roots for the connections of its own runs, or skip the check.
class TlsTrust {
 public:
  TlsTrust();
  ~TlsTrust();
  TlsTrust(const TlsTrust&) = delete;
  TlsTrust& operator=(const TlsTrust&) = delete;

  // Adds the certificates of a PEM text as roots; returns how many it held.
  std::size_t AddRoots(std::string_view pem);
  // Whether the server's certificate is checked at all.
  void SetCheckCertificates(bool check) { check_ = check; }
  bool CheckCertificates() const { return check_; }

  // The added roots, in a store to build chains with; empty when none were added.
  HCERTSTORE Roots() const { return roots_; }
  bool HasRoots() const { return count_ > 0; }
  // Whether certificate is one of the added roots.
  bool IsAddedRoot(const CERT_CONTEXT* certificate) const;

 private:
  HCERTSTORE roots_;
  std::size_t count_ = 0;
  bool check_ = true;
};

}  // namespace veldrask::win32
