#include "base/send_queue.h"

#include <gtest/gtest.h>

#include <array>
#include <cstring>
#include <memory>
#include <string>
#include <string_view>

#include "base/text.h"

namespace veldrask {
namespace {

std::string Pending(const SendQueue& queue, std::size_t limit = SIZE_MAX) {
  std::array<std::span<const std::byte>, 4> runs;
  std::string text;
  const std::size_t count = queue.Runs(runs, limit);
  for (std::size_t index = 0; index < count; ++index) {
    text.append(reinterpret_cast<const char*>(runs[index].data()), runs[index].size());
  }
  return text;
}

// Copied and shared appends mixed, then consumed in steps that cut runs: what is pending is
// always the unconsumed rest, in order; neighbouring blocks of one owner make one run.
TEST(SendQueueTest, PendingIsWhatWasAppendedAndNotYetConsumed) {
  const std::shared_ptr<std::string> piece = std::make_shared<std::string>("0123456789");
  const auto block = [&](std::size_t at, std::size_t size) {
    return SharedBytes{AsBytes(std::string_view(*piece).substr(at, size)), piece};
  };
  SendQueue queue;
  std::string copied = "head";
  queue.Append(AsBytes(copied));
  copied = "XXXX";  // a copy does not follow its source
  queue.Append(block(0, 3));
  queue.Append(block(3, 4));
  queue.Append(AsBytes("|tail"));
  queue.Append(block(7, 3));

  const struct {
    std::size_t consume;
    std::string_view pending;
    std::size_t runs;
  } steps[] = {
      {0, "head0123456|tail789", 4},
      {2, "ad0123456|tail789", 4},
      {4, "23456|tail789", 3},
      {5, "|tail789", 2},
      {7, "9", 1},
      {1, "", 0},
  };
  for (const auto& step : steps) {
    queue.Consume(step.consume);
    EXPECT_EQ(Pending(queue), step.pending);
    std::array<std::span<const std::byte>, 8> runs;
    EXPECT_EQ(queue.Runs(runs), step.runs) << step.pending;
    EXPECT_EQ(queue.Size(), step.pending.size());
    EXPECT_EQ(queue.Empty(), step.pending.empty());
  }
}

TEST(SendQueueTest, SharedBytesAreKeptNotCopiedAndRunsStopAtTheLimit) {
  const auto piece = std::make_shared<std::array<char, 8>>();
  std::memcpy(piece->data(), "abcdefgh", 8);
  const auto bytes = std::as_bytes(std::span(*piece));
  SendQueue queue;
  queue.Append(AsBytes("<"));
  queue.Append(SharedBytes{bytes, piece});
  EXPECT_EQ(queue.Front().size(), 1u);  // the copy and the shared bytes are separate runs
  queue.Consume(1);
  EXPECT_EQ(queue.Front().data(), bytes.data());
  EXPECT_EQ(Pending(queue, 5), "abcde");

  (*piece)[0] = 'A';  // the owner may not change shared bytes; the queue reads them in place
  EXPECT_EQ(Pending(queue), "Abcdefgh");
  queue.Clear();
  EXPECT_EQ(piece.use_count(), 1);
  EXPECT_TRUE(queue.Front().empty());
}

}  // namespace
}  // namespace veldrask
