#pragma once

#include <cstddef>
#include <span>
#include <vector>

namespace veldrask {

// What a socket still has to hand to the network: appended at the back, taken from the front.
// The taken front is dropped only once it is at least half of what is held, which keeps a run
// of appends linear overall.
class SendQueue {
 public:
  void Append(std::span<const std::byte> bytes);
  // The bytes not yet taken, oldest first; valid until the next change.
  std::span<const std::byte> Pending() const { return std::span(bytes_).subspan(taken_); }
  std::size_t Size() const { return bytes_.size() - taken_; }
  bool Empty() const { return Size() == 0; }
  // The network took count bytes from the front.
  void Consume(std::size_t count);
  void Clear();

 private:
  std::vector<std::byte> bytes_;
  std::size_t taken_ = 0;
};

}  // namespace veldrask
