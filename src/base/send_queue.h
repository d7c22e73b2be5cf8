#pragma once

#include <cstddef>
#include <deque>
#include <limits>
#include <memory>
#include <span>

#include "base/buffer_pool.h"
#include "base/shared_bytes.h"

namespace veldrask {

// What a socket still has to hand to the network: appended at the back, taken from the front.
// Bytes with an owner are kept by reference, so a block waits in the queue without a copy;
// other bytes are copied into chunks that are reused once the network has taken them (a fresh
// allocation per send would have the heap handed back and faulted in again all the time).
class SendQueue {
 public:
  void Append(std::span<const std::byte> bytes);
  void Append(SharedBytes bytes);
  // The oldest pending bytes as contiguous runs: fills at most runs.size() of them, with at
  // most limit bytes together, and returns how many it filled. Valid until the next change.
  std::size_t Runs(std::span<std::span<const std::byte>> runs,
                   std::size_t limit = std::numeric_limits<std::size_t>::max()) const;
  // The oldest contiguous run; empty when nothing is pending.
  std::span<const std::byte> Front() const;
  std::size_t Size() const { return size_; }
  bool Empty() const { return size_ == 0; }
  // The network took count bytes from the front.
  void Consume(std::size_t count);
  void Clear();

 private:
  static constexpr std::size_t kChunk = std::size_t{64} << 10;

  void AppendRun(SharedBytes run);
  // Room for count bytes (at most kChunk) at the end of the chunk copies go into.
  std::byte* CopySpace(std::size_t count);

  std::deque<SharedBytes> runs_;
  std::size_t size_ = 0;
  BufferPool chunks_{kChunk};
  std::shared_ptr<std::byte[]> chunk_;  // the one copies go into
  std::size_t chunkUsed_ = 0;
};

}  // namespace veldrask
