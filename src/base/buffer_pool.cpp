#include "base/buffer_pool.h"

#include <new>

namespace veldrask {

std::shared_ptr<std::byte[]> BufferPool::Take() {
  for (const std::shared_ptr<std::byte[]>& buffer : buffers_) {
    if (buffer.use_count() == 1) return buffer;
  }
  // Page-aligned: the kernel's copies into and out of a buffer run fastest from aligned
  // addresses, and a buffer's place in the heap would otherwise decide its alignment.
  constexpr std::align_val_t kAlignment{4096};
  std::shared_ptr<std::byte[]> buffer(
      static_cast<std::byte*>(::operator new[](bufferSize_, kAlignment)),
      [](std::byte* bytes) { ::operator delete[](bytes, kAlignment); });
  buffers_.push_back(buffer);
  return buffer;
}

}  // namespace veldrask
