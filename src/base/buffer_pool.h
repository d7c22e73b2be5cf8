#pragma once

#include <cstddef>
#include <memory>
#include <vector>

namespace veldrask {

// Buffers of one size handed out with shared ownership. A buffer nobody but the pool holds any
// more is handed out again, so memory stays at what is in use at once and the same pages are
// reused instead of being given back to the system and faulted in again.
class BufferPool {
 public:
  explicit BufferPool(std::size_t bufferSize) : bufferSize_(bufferSize) {}

  std::size_t BufferSize() const { return bufferSize_; }
  // A buffer no one else holds (its contents are left as they were), or a new one.
  std::shared_ptr<std::byte[]> Take();

 private:
  std::size_t bufferSize_;
  std::vector<std::shared_ptr<std::byte[]>> buffers_;
};

}  // namespace veldrask
