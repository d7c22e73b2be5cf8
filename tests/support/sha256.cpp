#include "support/sha256.h"

#include <glib.h>

namespace veldrask::testing {

Sha256::Sha256() : checksum_(g_checksum_new(G_CHECKSUM_SHA256)) {}

Sha256::~Sha256() {
  g_checksum_free(checksum_);
}

void Sha256::Update(std::string_view bytes) {
  // GChecksum takes a signed length; feed very large views in pieces.
  constexpr std::size_t kPiece = std::size_t{1} << 30;
  while (!bytes.empty()) {
    const std::string_view piece = bytes.substr(0, kPiece);
    g_checksum_update(checksum_, reinterpret_cast<const guchar*>(piece.data()),
                      static_cast<gssize>(piece.size()));
    bytes.remove_prefix(piece.size());
  }
}

std::string Sha256::HexDigest() {
  return g_checksum_get_string(checksum_);
}

std::string Sha256Hex(std::string_view bytes) {
  Sha256 hash;
  hash.Update(bytes);
  return hash.HexDigest();
}

}  // namespace veldrask::testing
