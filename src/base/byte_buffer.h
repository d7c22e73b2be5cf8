#pragma once

#include <cstddef>
#include <memory>
#include <new>
#include <type_traits>
#include <utility>
#include <vector>

namespace veldrask {

// An allocator whose vectors leave the elements they grow by uninitialised (default-
// initialised) instead of zeroing them: a buffer about to be filled by a receive is not
// written twice.
template <typename T>
class DefaultInitAllocator : public std::allocator<T> {
 public:
  template <typename U>
  struct rebind {
    using other = DefaultInitAllocator<U>;
  };

  DefaultInitAllocator() = default;
  template <typename U>
  DefaultInitAllocator(const DefaultInitAllocator<U>& /*other*/) noexcept {}

  template <typename U>
  void construct(U* place) noexcept(std::is_nothrow_default_constructible_v<U>) {
    ::new (static_cast<void*>(place)) U;
  }
  template <typename U, typename... Args>
  void construct(U* place, Args&&... args) {
    ::new (static_cast<void*>(place)) U(std::forward<Args>(args)...);
  }
};

// Bytes as a socket hands them over: resize makes room without filling it.
using ByteBuffer = std::vector<std::byte, DefaultInitAllocator<std::byte>>;

}  // namespace veldrask
