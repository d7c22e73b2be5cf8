#pragma once

#include <string>
#include <string_view>

typedef struct _GChecksum GChecksum;

namespace veldrask::testing {

// SHA-256 through GLib's GChecksum, to compare what a server stored or sent with what a test
// expects.
class Sha256 {
 public:
  Sha256();
  ~Sha256();
  Sha256(const Sha256&) = delete;
  Sha256& operator=(const Sha256&) = delete;

  void Update(std::string_view bytes);
  // The digest as 64 lower-case hex digits; the object is spent afterwards.
  std::string HexDigest();

 private:
  GChecksum* checksum_;
};

std::string Sha256Hex(std::string_view bytes);

}  // namespace veldrask::testing
