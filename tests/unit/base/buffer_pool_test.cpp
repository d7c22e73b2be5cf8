#include "base/buffer_pool.h"

#include <gtest/gtest.h>

#include <cstdint>

namespace veldrask {
namespace {

TEST(BufferPoolTest, BuffersArePageAlignedAndHandedOutAgainOnceNobodyElseHoldsThem) {
  BufferPool pool(16);
  std::shared_ptr<std::byte[]> first = pool.Take();
  const std::shared_ptr<std::byte[]> second = pool.Take();
  EXPECT_NE(first.get(), second.get());
  EXPECT_EQ(reinterpret_cast<std::uintptr_t>(second.get()) % 4096, 0u);  // page-aligned
  const std::byte* const released = first.get();
  first.reset();
  EXPECT_EQ(pool.Take().get(), released);
  EXPECT_EQ(pool.BufferSize(), 16u);
}

}  // namespace
}  // namespace veldrask
