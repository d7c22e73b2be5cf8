#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <memory>
#include <string>
#include <thread>

#include "win32/network.h"
#include "win32_test_support.h"

namespace veldrask::win32::testing {
namespace {

// The TLS fronts tls_fronts.sh started on the other side of Wine, by name, and the folder of
// their certificates.
struct Fronts {
  std::filesystem::path folder;
  std::map<std::string, std::int32_t> ports;
};

const Fronts& TheFronts() {
  static const Fronts fronts = [] {
    Fronts read;
    const char* folder = std::getenv("VELDRASK_TLS_FRONTS");
    if (folder == nullptr) throw std::runtime_error("VELDRASK_TLS_FRONTS is not set (run ctest)");
    read.folder = folder;
    std::ifstream list(read.folder / "fronts.txt");
    std::string name;
    std::int32_t port = 0;
    while (list >> name >> port) read.ports[name] = port;
    return read;
  }();
  return fronts;
}

// The test authority's certificate, which the sockets of each test trust as a host's --cacert
// does (a page's trust, the system's store alone, is not changed).
std::string TestAuthority() {
  std::ifstream file(TheFronts().folder / "certificates" / "ca.pem", std::ios::binary);
  return {std::istreambuf_iterator<char>(file), {}};
}

class Win32TlsSocketTest : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_EQ(network.Trust().AddRoots(TestAuthority()), 1u); }

  // Connects to the named front and waits for the connection or the failure, false when
  // neither came within the limit.
  bool ConnectTo(const std::string& front, std::chrono::milliseconds limit = kPatience) {
    events.Calling([&] { socket->Connect("localhost", TheFronts().ports.at(front)); });
    return RunUntil(
        loop, [&] { return events.Saw("connect") || events.Saw("error"); }, limit);
  }

  // Sends reply from the plain peer behind the front and closes it; returns what arrived.
  ByteBuffer Download(PeerConnection& peer, std::span<const std::byte> reply) {
    std::thread server([&] {
      peer.SendAll(reply);
      peer.Close();
    });
    ByteBuffer received;
    events.onArrival = [&] { events.Calling([&] { socket->GetData(received); }); };
    EXPECT_TRUE(RunUntil(loop, [&] { return events.Saw("close") || events.Saw("error"); }));
    server.join();
    socket->GetData(received);
    return received;
  }

  void TearDown() override { EXPECT_FALSE(events.raisedInsideCall); }

  MessageEventLoop loop;
  Win32Network network{loop};
  PeerListener backend{true, TheFronts().ports.at("backend")};
  RecordingEvents events;
  std::unique_ptr<TcpSocket> socket = network.CreateTlsSocket(events);
};

TEST_F(Win32TlsSocketTest, UploadsAndDownloadsByteExactThroughTls) {
  ASSERT_TRUE(ConnectTo("good"));
  ASSERT_EQ(events.log, std::vector<std::string>{"connect"}) << events.lastErrorDescription;
  PeerConnection peer = backend.Accept();

  // One block larger than what Winsock takes at once: it counts as sent only when all of
  // its records are out.
  const std::vector<std::byte> upload = Pattern((std::size_t{2} << 20) + 777);
  std::vector<std::byte> arrived;
  std::thread reader([&] { arrived = peer.Receive(upload.size()); });
  events.Calling([&] { socket->Send(upload); });
  const bool sent = RunUntil(loop, [&] { return events.Saw("complete"); });
  reader.join();
  ASSERT_TRUE(sent);
  EXPECT_EQ(events.sentTotal, static_cast<std::int64_t>(upload.size()));
  EXPECT_TRUE(arrived == upload) << arrived.size() << " of " << upload.size() << " bytes";

  // More than the socket holds before it pauses; the front ends with the close notice.
  const std::vector<std::byte> reply = Pattern((std::size_t{3} << 20) + 12345);
  const ByteBuffer received = Download(peer, reply);
  EXPECT_TRUE(std::ranges::equal(received, reply))
      << received.size() << " of " << reply.size() << " bytes";
  EXPECT_EQ(events.log.back(), "close") << events.lastErrorDescription;
  EXPECT_EQ(socket->State(), SocketState::kClosing);
}

TEST_F(Win32TlsSocketTest, RefusedConnectionsNameTheirReasonAndAStalledOneEndsWithClose) {
  struct Case {
    const char* front;
    std::int32_t number;  // 0: the server never answers; the user's close ends the wait
    const char* reason;
  };
  // Long enough for the client's hello to be out; the stalled front never answers it.
  constexpr std::chrono::milliseconds kStillWaiting{500};
  const Case cases[] = {
      {"expired", socket_error::kCertificateExpired, "유효 기간이 지났습니다"},
      {"other-name", socket_error::kCertificateWrongName, "이름(localhost)으로 발급된"},
      {"self-signed", socket_error::kCertificateUnknownIssuer, "자체 서명 인증서"},
      {"tls-1.1", socket_error::kSecureChannelFailed, "프로토콜 오류"},
      {"renegotiate", socket_error::kSecureChannelFailed, "재협상(renegotiation)"},
      {"huge-chain", socket_error::kSecureChannelFailed, "인증서 체인이 너무 큽니다"},
      {"stall", 0, ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.front);
    events = RecordingEvents{};
    const bool answered = ConnectTo(c.front, c.number != 0 ? kPatience : kStillWaiting);
    if (c.number == 0) {
      EXPECT_FALSE(answered);
      EXPECT_EQ(socket->State(), SocketState::kConnecting);
      events.Calling([&] { socket->Close(); });
      EXPECT_FALSE(RunUntil(
          loop, [&] { return !events.log.empty(); }, kStillWaiting))
          << events.log.front();
      EXPECT_EQ(socket->State(), SocketState::kClosed);
      continue;
    }
    ASSERT_TRUE(answered);
    // A server that asks to negotiate again does so once the request arrives.
    if (events.Saw("connect")) {
      events.Calling([&] { socket->Send(Bytes("GET / HTTP/1.1\r\n\r\n")); });
      ASSERT_TRUE(RunUntil(loop, [&] { return events.Saw("error"); }));
    }
    EXPECT_EQ(events.errors, std::vector<std::int32_t>{c.number});
    EXPECT_NE(events.lastErrorDescription.find(c.reason), std::string::npos)
        << events.lastErrorDescription;
    EXPECT_EQ(socket->State(), SocketState::kError);
  }
}

TEST_F(Win32TlsSocketTest, ACutWithoutTheCloseNoticeIsATruncatedStream) {
  ASSERT_TRUE(ConnectTo("abrupt"));
  ASSERT_EQ(events.log, std::vector<std::string>{"connect"}) << events.lastErrorDescription;
  PeerConnection peer = backend.Accept();
  const std::vector<std::byte> reply = Pattern(100'000);
  const ByteBuffer received = Download(peer, reply);
  EXPECT_EQ(events.errors, std::vector<std::int32_t>{socket_error::kConnectionAborted});
  EXPECT_NE(events.lastErrorDescription.find("잘렸을"), std::string::npos);
  // What came before the cut is the stream's start, never anything else.
  EXPECT_TRUE(std::equal(received.begin(), received.end(), reply.begin()));
}

TEST_F(Win32TlsSocketTest, APlainHttpAnswerIsNamed) {
  events.Calling([&] { socket->Connect("127.0.0.1", backend.Port()); });
  PeerConnection peer = backend.Accept();
  std::thread server([&] {
    peer.Receive(5);  // the start of the client's hello
    peer.SendAll(Bytes("HTTP/1.1 400 Bad Request\r\nConnection: close\r\n\r\n"));
    peer.Close();
  });
  const bool failed = RunUntil(loop, [&] { return events.Saw("error"); });
  server.join();
  ASSERT_TRUE(failed);
  EXPECT_EQ(events.errors, std::vector<std::int32_t>{socket_error::kSecureChannelFailed});
  EXPECT_NE(events.lastErrorDescription.find("평문(HTTP)"), std::string::npos)
      << events.lastErrorDescription;
}

}  // namespace
}  // namespace veldrask::win32::testing
