#include "posix/tcp_socket.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <fstream>
#include <future>
#include <memory>
#include <thread>

#include "base/error.h"
#include "socket_test_support.h"

namespace veldrask::posix::socket_test {
namespace {

using namespace std::chrono_literals;
constexpr std::size_t kMiB = std::size_t{1} << 20;

std::int64_t SumOfSent(const std::vector<RecordingEvents::Progress>& progress) {
  std::int64_t sum = 0;
  for (const auto& step : progress) sum += step.sent;
  return sum;
}

using TcpSocketTest = SocketTest;

bool TlsLibraryMapped() {
  std::ifstream maps("/proc/self/maps");
  for (std::string line; std::getline(maps, line);) {
    if (line.find("/libssl.so") != std::string::npos) return true;
  }
  return false;
}

// No other test of this program makes a TLS socket before this one.
TEST_F(TcpSocketTest, OnlyATlsSocketLoadsTheTlsLibrary) {
  PeerListener listener;
  PeerConnection peer = ConnectTo(listener);
  events.Calling([&] { socket->Send(AsBytes("plain")); });
  EXPECT_EQ(ToText(ReceiveWhileLoopRuns(loop, peer, 5)), "plain");
  EXPECT_FALSE(TlsLibraryMapped());

  RecordingEvents tlsEvents;
  EXPECT_NE(network.CreateTlsSocket(tlsEvents), nullptr);
  EXPECT_TRUE(TlsLibraryMapped());
}

TEST_F(TcpSocketTest, ConnectsToALiteralAddressAndExchangesData) {
  PeerListener listener;
  PeerConnection peer = ConnectTo(listener);

  peer.SendAll(Bytes("hello"));
  ByteBuffer received;
  received.push_back(std::byte{'>'});
  events.onArrival = [&](std::int32_t) { events.Calling([&] { socket->GetData(received); }); };
  EXPECT_TRUE(RunUntil(loop, [&] { return received.size() == 6; }));
  EXPECT_EQ(ToText(received), ">hello");

  events.Calling([&] { socket->Send(AsBytes("ping")); });
  EXPECT_EQ(ToText(ReceiveWhileLoopRuns(loop, peer, 4)), "ping");
  EXPECT_TRUE(RunUntil(loop, [&] { return events.Count("complete") == 1; }));
  ASSERT_EQ(events.progress.size(), 1U);
  EXPECT_EQ(events.progress[0].sent, 4);
  EXPECT_EQ(events.progress[0].remaining, 0);
  EXPECT_EQ(events.log, (std::vector<std::string>{"connect", "arrival", "progress", "complete"}));
}

TEST_F(TcpSocketTest, HostNamesAndBracketedIpv6LiteralsConnect) {
  PeerListener listener;
  PeerConnection byName = ConnectTo(listener, "localhost");
  events.Calling([&] { socket->Close(); });

  if (!HasIpv6Loopback()) GTEST_SKIP() << "no IPv6 loopback on this machine";
  PeerListener v6Listener("::1");
  events.log.clear();
  PeerConnection byLiteral = ConnectTo(v6Listener, "[::1]");
}

TEST_F(TcpSocketTest, LargeSendKeepsOnlyTheRemainderAndReportsExactProgress) {
  PeerListener listener;
  PeerConnection peer = ConnectTo(listener);
  const std::vector<std::byte> head = Pattern(64 * kMiB, 7);
  const std::vector<std::byte> tail = Pattern(1 * kMiB, 99);

  std::promise<void> startReading;
  std::vector<std::byte> received;
  std::thread reader([&, started = startReading.get_future()] {
    if (started.wait_for(kPatience) != std::future_status::ready) return;
    received = peer.Receive(head.size() + tail.size());
  });

  events.Calling([&] { socket->Send(head); });
  loop.ProcessPendingEvents();
  // Nobody reads yet, so the kernel cannot have taken 64 MiB: a remainder is queued.
  ASSERT_EQ(events.progress.size(), 1U);
  EXPECT_GT(events.progress[0].sent, 0);
  EXPECT_GT(events.progress[0].remaining, 0);
  EXPECT_EQ(events.Count("complete"), 0);

  // Queued behind the remainder, this must reach the peer after it.
  events.Calling([&] { socket->Send(tail); });
  startReading.set_value();
  const auto total = static_cast<std::int64_t>(head.size() + tail.size());
  EXPECT_TRUE(RunUntil(loop, [&] { return events.Count("complete") > 0; }));
  reader.join();

  EXPECT_EQ(SumOfSent(events.progress), total);
  EXPECT_EQ(events.Count("complete"), 1);
  EXPECT_EQ(events.log.back(), "complete");
  EXPECT_EQ(events.progress.back().remaining, 0);
  EXPECT_TRUE(std::all_of(events.progress.begin(), events.progress.end(),
                          [](const auto& step) { return step.sent > 0; }));
  ASSERT_EQ(received.size(), head.size() + tail.size());
  EXPECT_TRUE(std::equal(head.begin(), head.end(), received.begin()));
  EXPECT_TRUE(std::equal(tail.begin(), tail.end(), received.begin() + std::ssize(head)));

  // A later send that drains is completed once more.
  events.Calling([&] { socket->Send(AsBytes("end")); });
  EXPECT_EQ(ToText(ReceiveWhileLoopRuns(loop, peer, 3)), "end");
  EXPECT_TRUE(RunUntil(loop, [&] { return events.Count("complete") == 2; }));
  EXPECT_EQ(SumOfSent(events.progress), total + 3);
}

// A send the kernel takes whole reports its progress and completion as one posted task; a
// progress handler that closes the socket must still silence the completion.
TEST_F(TcpSocketTest, AWholeSendCompletesUnlessItsProgressHandlerCloses) {
  struct WholeSendCase {
    const char* label;
    bool closeOnProgress;
    std::vector<std::string> expected;
  };
  const std::vector<WholeSendCase> cases = {
      {"left open", false, {"connect", "progress", "complete"}},
      {"closed by the progress handler", true, {"connect", "progress"}},
  };
  PeerListener listener;
  for (const WholeSendCase& test : cases) {
    SCOPED_TRACE(test.label);
    events.log.clear();
    PeerConnection peer = ConnectTo(listener);
    events.onProgress = [&] {
      if (test.closeOnProgress) events.Calling([&] { socket->Close(); });
    };
    events.Calling([&] { socket->Send(AsBytes("whole")); });
    // Posted by the send itself: two calls take it, whatever a poll finds meanwhile.
    loop.ProcessPendingEvents();
    loop.ProcessPendingEvents();
    EXPECT_EQ(events.log, test.expected);
    EXPECT_EQ(ToText(ReceiveWhileLoopRuns(loop, peer, 5)), "whole");
    events.onProgress = nullptr;
    events.Calling([&] { socket->Close(); });
  }
}

// Small sends are reported at once and gathered; they reach the peer in order when the gathered
// bytes fill the limit, before a larger send, when the loop polls, or when the owner closes.
// Shared sends are queued without a copy: the socket's share alone keeps them alive. Sends
// made while the kernel holds back earlier ones complete together.
TEST_F(TcpSocketTest, GatheredSendsReachThePeerInOrder) {
  enum class Then { kNothing, kRunTheLoop, kClose };
  struct GatherCase {
    const char* label;
    std::vector<std::size_t> sizes;
    Then then;
    bool shared = false;
    bool backlog = false;  // more than the kernel takes before the peer reads
  };
  constexpr std::size_t kLimit = PosixTcpSocket::kGatherLimit;
  const std::vector<GatherCase> cases = {
      {"filling the limit", std::vector<std::size_t>(8, kLimit / 8), Then::kNothing},
      {"a larger send after small ones", {100, 7, kLimit}, Then::kNothing},
      {"small sends, then the loop", {5, 0, 12}, Then::kRunTheLoop},
      {"small sends, then a close", {5, 12}, Then::kClose},
      {"shared, filling the limit", std::vector<std::size_t>(8, kLimit / 8), Then::kNothing, true},
      {"shared, past what the kernel holds", std::vector<std::size_t>(40, kLimit / 3),
       Then::kRunTheLoop, true, true},
      {"shared, larger sends", {3, 2 * kLimit, 4 * kLimit}, Then::kRunTheLoop, true, true},
      {"shared, then a close", {5, 12}, Then::kClose, true},
  };
  PeerListener listener;
  std::uint32_t seed = 0;
  for (const GatherCase& test : cases) {
    SCOPED_TRACE(test.label);
    events.log.clear();
    PeerConnection peer = ConnectTo(listener);
    std::vector<std::byte> expected;
    for (const std::size_t size : test.sizes) {
      const auto piece = std::make_shared<const std::vector<std::byte>>(Pattern(size, ++seed));
      events.Calling([&] {
        if (test.shared) {
          socket->SendShared({*piece, piece});
        } else {
          socket->Send(*piece);
        }
      });
      expected.insert(expected.end(), piece->begin(), piece->end());
    }
    if (test.then == Then::kClose) events.Calling([&] { socket->Close(); });
    const std::vector<std::byte> received = test.then == Then::kRunTheLoop
                                                ? ReceiveWhileLoopRuns(loop, peer, expected.size())
                                                : peer.Receive(expected.size());
    EXPECT_EQ(received, expected);
    if (test.then != Then::kClose) {
      EXPECT_TRUE(RunUntil(loop, [&] {
        const int completes = events.Count("complete");
        return test.backlog ? completes > 0 && events.log.back() == "complete"
                            : completes == std::ssize(test.sizes);
      }));
    }
    events.Calling([&] { socket->Close(); });
  }
}

TEST_F(TcpSocketTest, ReadingPausesAtTheLimitUntilTheOwnerTakesTheData) {
  PeerListener listener;
  PeerConnection peer = ConnectTo(listener);
  const std::vector<std::byte> data = Pattern(8 * kMiB, 3);
  std::thread writer([&] { peer.SendAll(data); });

  EXPECT_TRUE(RunUntil(loop, [&] {
    return !events.arrivals.empty() &&
           static_cast<std::size_t>(events.arrivals.back()) >= PosixTcpSocket::kReceiveLimit;
  }));
  // Had reading gone on, the rest of the 8 MiB would arrive in this time; and a paused
  // socket must not keep the loop busy either.
  const double cpuBefore = CpuSeconds();
  RunFor(loop, 300ms);
  EXPECT_LT(CpuSeconds() - cpuBefore, 0.05);
  const auto most = *std::max_element(events.arrivals.begin(), events.arrivals.end());
  EXPECT_LT(static_cast<std::size_t>(most), 2 * PosixTcpSocket::kReceiveLimit);

  ByteBuffer received;
  events.onArrival = [&](std::int32_t) { events.Calling([&] { socket->GetData(received); }); };
  events.Calling([&] { socket->GetData(received); });
  EXPECT_TRUE(RunUntil(loop, [&] { return received.size() >= data.size(); }));
  writer.join();
  EXPECT_TRUE(std::ranges::equal(received, data));
}

TEST_F(TcpSocketTest, PeerCloseDeliversTheDataBeforeExactlyOneClose) {
  PeerListener listener;
  PeerConnection peer = ConnectTo(listener);
  peer.SendAll(Bytes("bye"));
  peer.Close();

  EXPECT_TRUE(RunUntil(loop, [&] { return events.Count("close") > 0; }));
  RunFor(loop, 100ms);
  EXPECT_EQ(events.log, (std::vector<std::string>{"connect", "arrival", "close"}));
  EXPECT_EQ(socket->State(), SocketState::kClosing);
  ByteBuffer received;
  events.Calling([&] { socket->GetData(received); });
  EXPECT_EQ(ToText(received), "bye");
  events.Calling([&] { socket->Close(); });
  EXPECT_EQ(socket->State(), SocketState::kClosed);
}

TEST_F(TcpSocketTest, CallsInTheWrongStateRaiseTheStateError) {
  const auto expectStateError = [&](const std::function<void()>& call) {
    try {
      events.Calling(call);
      ADD_FAILURE() << "no error raised";
    } catch (const Error& error) {
      EXPECT_EQ(error.Number(), socket_error::kInvalidOperation);
      EXPECT_FALSE(error.Description().empty());
    }
  };
  expectStateError([&] { socket->Send(AsBytes("early")); });

  PeerListener listener;
  PeerConnection peer = ConnectTo(listener);
  expectStateError([&] { socket->Connect("127.0.0.1", listener.Port()); });
  peer.Close();
  EXPECT_TRUE(RunUntil(loop, [&] { return events.Count("close") == 1; }));
  expectStateError([&] { socket->Send(AsBytes("late")); });
}

TEST_F(TcpSocketTest, HandlersMayWaitInNestedLoops) {
  PeerListener listener;
  events.Calling([&] { socket->Connect("127.0.0.1", listener.Port()); });
  PeerConnection peer = listener.Accept();
  peer.SendAll(Bytes("nested"));

  ByteBuffer received;
  bool nestedWaitEnded = false;
  events.onConnect = [&] {
    EXPECT_TRUE(RunUntil(loop, [&] { return !events.arrivals.empty(); }));
    events.Calling([&] { socket->GetData(received); });
    nestedWaitEnded = true;
  };
  EXPECT_TRUE(RunUntil(loop, [&] { return nestedWaitEnded; }));
  EXPECT_EQ(ToText(received), "nested");
  EXPECT_EQ(events.log, (std::vector<std::string>{"connect", "arrival"}));
}

TEST_F(TcpSocketTest, WaitingOnAnIdleConnectionUsesNoProcessorTime) {
  PeerListener listener;
  PeerConnection peer = ConnectTo(listener);
  bool done = false;
  const double before = CpuSeconds();
  std::thread timer([&] {
    std::this_thread::sleep_for(1s);
    loop.Post([&] { done = true; });
  });
  EXPECT_TRUE(RunUntil(loop, [&] { return done; }));
  timer.join();
  // A spinning or periodically waking loop would burn most of the second.
  EXPECT_LT(CpuSeconds() - before, 0.05);
  EXPECT_EQ(events.log, (std::vector<std::string>{"connect"}));
}

}  // namespace
}  // namespace veldrask::posix::socket_test
