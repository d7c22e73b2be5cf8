#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <thread>

#include "base/error.h"
#include "fixtures/error_of.h"
#include "win32/network.h"
#include "win32_test_support.h"

namespace veldrask::win32::testing {
namespace {

class Win32SocketTest : public ::testing::Test {
 protected:
  // Connects to the listener and returns the accepted peer once OnConnect has come.
  PeerConnection ConnectTo(PeerListener& listener, std::string_view host = "127.0.0.1") {
    events.log.clear();
    events.Calling([&] { socket->Connect(host, listener.Port()); });
    // The kernel completes the connection before the peer accepts it.
    EXPECT_TRUE(RunUntil(loop, [&] { return events.Saw("connect") || events.Saw("error"); }));
    EXPECT_EQ(socket->State(), SocketState::kConnected);
    return listener.Accept();
  }

  void TearDown() override { EXPECT_FALSE(events.raisedInsideCall); }

  MessageEventLoop loop;
  Win32Network network{loop};  // before the listeners: it starts Winsock
  RecordingEvents events;
  std::unique_ptr<TcpSocket> socket = network.CreateTcpSocket(events);
};

TEST_F(Win32SocketTest, ExchangesDataPastTheReceiveLimitThenSeesTheClose) {
  PeerListener listener;
  PeerConnection peer = ConnectTo(listener);

  events.Calling([&] { socket->Send(Bytes("request")); });
  EXPECT_EQ(peer.Receive(7), Bytes("request"));
  ASSERT_TRUE(RunUntil(loop, [&] { return events.Saw("complete"); }));
  EXPECT_EQ(events.sentTotal, 7);

  // More than the socket holds before it pauses reading: GetData must resume it.
  const std::vector<std::byte> reply = Pattern(3 * (std::size_t{1} << 20) + 12345);
  std::thread server([&] {
    peer.SendAll(reply);
    peer.Close();
  });
  ByteBuffer received;
  events.onArrival = [&] { events.Calling([&] { socket->GetData(received); }); };
  const bool closed = RunUntil(loop, [&] { return events.Saw("close"); });
  server.join();
  ASSERT_TRUE(closed);
  socket->GetData(received);
  EXPECT_TRUE(std::ranges::equal(received, reply))
      << received.size() << " of " << reply.size() << " bytes";
  EXPECT_EQ(socket->State(), SocketState::kClosing);
  EXPECT_EQ(events.log.front(), "connect");
  EXPECT_EQ(events.log.back(), "close");
}

TEST_F(Win32SocketTest, FailuresCarryWinsockNumbersAndSystemDescriptions) {
  {
    PeerListener notListening(false);
    events.Calling([&] { socket->Connect("127.0.0.1", notListening.Port()); });
    ASSERT_TRUE(RunUntil(loop, [&] { return events.Saw("error"); }));
  }
  EXPECT_EQ(events.errors, std::vector<std::int32_t>{socket_error::kConnectionRefused});
  EXPECT_FALSE(events.lastErrorDescription.empty());
  EXPECT_EQ(socket->State(), SocketState::kError);

  // Names no lookup can take fail the same way as on POSIX.
  for (const std::string& name : {std::string(), std::string("[]"), std::string("a\0b", 3)}) {
    events.Calling([&] { socket->Connect(name, 80); });
    ASSERT_TRUE(RunUntil(loop, [&] { return events.errors.size() == 2; }));
    EXPECT_EQ(events.errors.back(), socket_error::kHostNotFound);
    events.errors.pop_back();
  }

  PeerListener listener;
  PeerConnection peer = ConnectTo(listener);
  // Sending into a connection the peer has reset (Wine reports the reset of an idle connection
  // as an orderly close, so the send is what meets it).
  peer.Reset();
  events.Calling([&] { socket->Send(Pattern(std::size_t{1} << 20)); });
  ASSERT_TRUE(RunUntil(loop, [&] { return events.errors.size() == 2; }))
      << ::testing::PrintToString(events.log);
  EXPECT_EQ(events.errors.back(), socket_error::kConnectionReset);

  socket->Close();
  EXPECT_EQ(veldrask::testing::ErrorOf([&] { socket->Send(Bytes("x")); }),
            socket_error::kInvalidOperation);
  events.Calling([&] { socket->Connect("127.0.0.1", 70000); });
  ASSERT_TRUE(RunUntil(loop, [&] { return events.errors.size() == 3; }));
  EXPECT_EQ(events.errors.back(), socket_error::kInvalidArgument);
}

TEST_F(Win32SocketTest, NamesResolveWithoutBlockingTheThread) {
  PeerListener listener;
  events.Calling([&] { socket->Connect("localhost", listener.Port()); });
  // The lookup runs on a worker: Connect has returned before it ends.
  EXPECT_EQ(socket->State(), SocketState::kResolvingHost);
  ASSERT_TRUE(RunUntil(loop, [&] { return events.Saw("connect") || events.Saw("error"); }));
  EXPECT_EQ(events.log, std::vector<std::string>{"connect"});
}

TEST_F(Win32SocketTest, NotificationsQueuedForAClosedSocketReachNoOne) {
  PeerListener listener;
  PeerConnection peer = ConnectTo(listener);
  peer.SendAll(Bytes("stale"));
  // Wait until Winsock has queued the notification, without handling it.
  for (int i = 0; i < 1000 && (GetQueueStatus(QS_POSTMESSAGE) & QS_POSTMESSAGE) == 0; ++i) {
    Sleep(5);
  }
  socket->Close();
  events.log.clear();

  // A new socket may get the same handle from Winsock.
  RecordingEvents laterEvents;
  const std::unique_ptr<TcpSocket> later = network.CreateTcpSocket(laterEvents);
  later->Connect("127.0.0.1", listener.Port());
  ASSERT_TRUE(RunUntil(loop, [&] { return laterEvents.Saw("connect"); }));
  bool drained = false;
  loop.Post([&] { drained = true; });
  ASSERT_TRUE(RunUntil(loop, [&] { return drained; }));
  EXPECT_TRUE(events.log.empty());
  EXPECT_EQ(laterEvents.log, std::vector<std::string>{"connect"});
}

}  // namespace
}  // namespace veldrask::win32::testing
