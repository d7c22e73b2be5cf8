#include "base/send_queue.h"

#include <gtest/gtest.h>

#include <string>
#include <string_view>

#include "base/text.h"

namespace veldrask {
namespace {

std::string Text(std::span<const std::byte> bytes) {
  return std::string(reinterpret_cast<const char*>(bytes.data()), bytes.size());
}

// Each step appends, then consumes; what is pending afterwards is always the unconsumed rest,
// in order, across the compactions that appends make.
TEST(SendQueueTest, PendingIsWhatWasAppendedAndNotYetConsumed) {
  const struct {
    std::string_view append;
    std::size_t consume;
    std::string_view pending;
  } steps[] = {
      {"abcdef", 2, "cdef"}, {"", 0, "cdef"}, {"gh", 3, "fgh"}, {"ijklmn", 0, "fghijklmn"},
      {"", 9, ""},           {"op", 1, "p"},  {"q", 2, ""},
  };
  SendQueue queue;
  for (const auto& step : steps) {
    queue.Append(AsBytes(step.append));
    queue.Consume(step.consume);
    EXPECT_EQ(Text(queue.Pending()), step.pending) << "after " << step.append;
    EXPECT_EQ(queue.Size(), step.pending.size());
    EXPECT_EQ(queue.Empty(), step.pending.empty());
  }
  queue.Append(AsBytes("rest"));
  queue.Clear();
  EXPECT_TRUE(queue.Empty());
}

}  // namespace
}  // namespace veldrask
