#pragma once

#include <cstddef>
#include <span>

#include "posix/openssl_library.h"

namespace veldrask::posix {

// Where a TLS connection's records go to and come from.
class TlsRecordChannel {
 public:
  // Takes records TLS wrote; false when they cannot be kept (TLS then fails what it was doing).
  virtual bool WriteRecords(std::span<const std::byte> records) = 0;
  // Copies arrived records into buffer and says how many; 0 while none are waiting.
  virtual std::size_t ReadRecords(std::span<std::byte> buffer) = 0;

 protected:
  ~TlsRecordChannel() = default;
};

// A BIO over channel for SSL_set_bio, which takes it over: records pass between TLS's own
// buffers and the channel without a memory BIO's copy (and its zero-filled growth) in between.
// Null when out of memory.
BIO* NewTlsRecordBio(TlsRecordChannel& channel);

}  // namespace veldrask::posix
