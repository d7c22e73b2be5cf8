#include <gtest/gtest.h>

#include <chrono>

#include "socket_test_support.h"

namespace veldrask::posix::socket_test {
namespace {

using namespace std::chrono_literals;
using TcpSocketFailureTest = SocketTest;

// Waits for the first error, then a little longer to see that no second event follows.
void ExpectOnlyError(PollEventLoop& loop, RecordingEvents& events, std::int32_t number) {
  EXPECT_TRUE(RunUntil(loop, [&] { return !events.errors.empty(); }));
  RunFor(loop, 100ms);
  EXPECT_EQ(events.errors, (std::vector<std::int32_t>{number}));
  EXPECT_FALSE(events.lastErrorDescription.empty());
}

TEST_F(TcpSocketFailureTest, RefusedConnectionReportsOneError) {
  PeerListener notListening("127.0.0.1", false);
  events.Calling([&] { socket->Connect("127.0.0.1", notListening.Port()); });
  ExpectOnlyError(loop, events, socket_error::kConnectionRefused);
  EXPECT_EQ(events.log, (std::vector<std::string>{"error"}));
  EXPECT_EQ(socket->State(), SocketState::kError);
}

TEST_F(TcpSocketFailureTest, UnknownHostIsReportedAsAnEventNotFromConnect) {
  events.Calling([&] { socket->Connect("no-such-host.invalid", 80); });
  EXPECT_TRUE(events.log.empty());
  EXPECT_EQ(socket->State(), SocketState::kError);
  ExpectOnlyError(loop, events, socket_error::kHostNotFound);
  EXPECT_NE(events.lastErrorDescription.find("no-such-host.invalid"), std::string::npos);
}

TEST_F(TcpSocketFailureTest, NamesThatCannotBeLookedUpAreNotFound) {
  for (const std::string& name : {std::string(), std::string("[]"), std::string("a\0b", 3)}) {
    SCOPED_TRACE(name.size());
    events.errors.clear();
    events.Calling([&] { socket->Connect(name, 80); });
    EXPECT_EQ(socket->State(), SocketState::kError);
    ExpectOnlyError(loop, events, socket_error::kHostNotFound);
  }
}

TEST_F(TcpSocketFailureTest, PortsOutsideTheRangeAreInvalidArguments) {
  for (const std::int32_t port : {0, -1, 65536}) {
    SCOPED_TRACE(port);
    events.errors.clear();
    events.Calling([&] { socket->Connect("127.0.0.1", port); });
    EXPECT_TRUE(events.errors.empty());
    ExpectOnlyError(loop, events, socket_error::kInvalidArgument);
  }
  // After an error the socket connects again without an explicit Close.
  PeerListener listener;
  events.log.clear();
  PeerConnection peer = ConnectTo(listener);
}

TEST_F(TcpSocketFailureTest, AbortiveCloseByThePeerIsAReset) {
  PeerListener listener;
  PeerConnection peer = ConnectTo(listener);
  peer.Reset();
  ExpectOnlyError(loop, events, socket_error::kConnectionReset);
  EXPECT_EQ(events.Count("close"), 0);
  EXPECT_EQ(socket->State(), SocketState::kError);
}

TEST_F(TcpSocketFailureTest, CloseSilencesEventsAlreadyPosted) {
  PeerListener listener;
  PeerConnection peer = ConnectTo(listener);
  peer.SendAll(Bytes("unread"));
  events.Calling([&] { socket->Send(AsBytes("posted progress and completion")); });
  events.Calling([&] { socket->Close(); });
  EXPECT_EQ(socket->State(), SocketState::kClosed);
  peer.SendAll(Bytes("after close"));
  RunFor(loop, 200ms);
  EXPECT_EQ(events.log, (std::vector<std::string>{"connect"}));
}

TEST_F(TcpSocketFailureTest, DestroyingTheSocketInsideItsOwnHandlerStopsEverything) {
  PeerListener listener;
  PeerConnection peer = ConnectTo(listener);
  // Data and end of stream arrive together, so a close is queued behind the arrival.
  peer.SendAll(Bytes("last words"));
  peer.Close();
  events.onArrival = [&](std::int32_t) { socket.reset(); };
  EXPECT_TRUE(RunUntil(loop, [&] { return socket == nullptr; }));
  RunFor(loop, 100ms);
  EXPECT_EQ(events.log, (std::vector<std::string>{"connect", "arrival"}));
}

TEST_F(TcpSocketFailureTest, ClosingInsideAHandlerDropsTheRest) {
  PeerListener listener;
  events.Calling([&] { socket->Connect("127.0.0.1", listener.Port()); });
  PeerConnection peer = listener.Accept();
  peer.SendAll(Bytes("ignored"));
  peer.Close();
  events.onConnect = [&] { events.Calling([&] { socket->Close(); }); };
  EXPECT_TRUE(RunUntil(loop, [&] { return events.Count("connect") == 1; }));
  RunFor(loop, 100ms);
  EXPECT_EQ(events.log, (std::vector<std::string>{"connect"}));
  EXPECT_EQ(socket->State(), SocketState::kClosed);
}

}  // namespace
}  // namespace veldrask::posix::socket_test
