// The route to a server with the host's proxies, and the tunnel a TLS socket goes through, over
// the scripted network.
#include "transfer/server_route.h"

#include <gtest/gtest.h>

#include "manual_clock.h"
#include "scripted_network.h"
#include "task_loop.h"

namespace veldrask {
namespace {

using testing::Data;
using testing::ManualClock;
using testing::ScriptedNetwork;
using testing::TaskLoop;

constexpr std::string_view kHead = "GET /a.txt HTTP/1.1\r\nHost: files.test\r\n\r\n";

TEST(ServerRouteTest, ProxiesAreChosenByTransportAndNoProxyAndChangeOnlyWhatTheyMust) {
  HostOptions options;
  options.httpProxy = ProxyPlace{"proxy.test", 3128, "Basic dTpw"};
  options.httpsProxy = ProxyPlace{"[::1]", 8080, ""};
  options.noProxy = {".Internal.test", "10.0.0.1"};
  const struct {
    Transport transport;
    std::string host;
    std::int32_t port;
    std::string connectTo;
    bool tunnel;
    std::string head;
  } cases[] = {
      {Transport::kPlain, "files.test", 80, "proxy.test:3128", false,
       "GET http://files.test/a.txt HTTP/1.1\r\nProxy-Authorization: Basic dTpw\r\n"
       "Host: files.test\r\n\r\n"},
      {Transport::kPlain, "files.test", 8080, "proxy.test:3128", false,
       "GET http://files.test:8080/a.txt HTTP/1.1\r\nProxy-Authorization: Basic dTpw\r\n"
       "Host: files.test\r\n\r\n"},
      {Transport::kTls, "files.test", 443, "files.test:443", true, std::string(kHead)},
      // no_proxy: a domain matches its names and itself in any case, never a longer name.
      {Transport::kPlain, "a.INTERNAL.test", 80, "a.INTERNAL.test:80", false, std::string(kHead)},
      {Transport::kPlain, "internal.test", 80, "internal.test:80", false, std::string(kHead)},
      {Transport::kTls, "notinternal.test", 443, "notinternal.test:443", true, std::string(kHead)},
      {Transport::kPlain, "10.0.0.1", 80, "10.0.0.1:80", false, std::string(kHead)},
      {Transport::kPlain, "10.0.0.11", 80, "proxy.test:3128", false,
       "GET http://10.0.0.11/a.txt HTTP/1.1\r\nProxy-Authorization: Basic dTpw\r\n"
       "Host: files.test\r\n\r\n"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.host + ":" + std::to_string(c.port));
    const ServerRoute route = RouteTo(options, {c.transport, c.host}, c.port);
    EXPECT_EQ(route.host + ":" + std::to_string(route.port), c.connectTo);
    EXPECT_EQ(route.tunnel.has_value(), c.tunnel);
    EXPECT_EQ(HeadForRoute(route, kHead), c.head);
  }
  EXPECT_TRUE(ReachedDirectly({"*"}, "anything.test"));
  EXPECT_FALSE(ReachedDirectly({}, "anything.test"));
}

// What the TLS socket over the tunnel is told.
struct Events final : SocketEvents {
  void OnConnect() override { said += "connect;"; }
  void OnSendProgress(std::int32_t, std::int32_t) override {}
  void OnSendComplete() override { said += "sent;"; }
  void OnDataArrival(std::int32_t bytes) override { said += "data " + std::to_string(bytes) + ";"; }
  void OnClose() override { said += "close;"; }
  void OnError(std::int32_t number, std::string_view description) override {
    said += std::to_string(number) + " " + std::string(description) + ";";
  }
  std::string said;
};

TEST(ServerRouteTest, ATunnelOpensOnTwoHundredAndHandsOnWhatCameAfterTheProxysAnswer) {
  const struct {
    std::string answer;
    std::string said;
    std::string early;
  } cases[] = {
      {"HTTP/1.1 200 Connection established\r\n\r\nHELLO", "connect;data 5;", "HELLO"},
      {"HTTP/1.0 200 OK\r\nVia: x\r\n\r\n", "connect;", ""},
      {"HTTP/1.1 407 Proxy Authentication Required\r\nContent-Length: 0\r\n\r\n",
       "12033 프록시(proxy.test:3128)가 터널(CONNECT files.test:443)을 열지 않았습니다: 407 Proxy "
       "Authentication Required;",
       ""},
      {"SSH-2.0-OpenSSH\r\n\r\n",
       "12033 프록시(proxy.test:3128)가 터널(CONNECT files.test:443)을 열지 않았습니다: 읽을 수 "
       "없는 답;",
       ""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.answer);
    TaskLoop loop;
    ManualClock clock;
    ScriptedNetwork network(loop, clock);
    network.SetServer([&c](const std::string&) { return std::vector{Data(c.answer)}; });
    HostOptions options;
    options.httpsProxy = ProxyPlace{"proxy.test", 3128, "Basic dTpw"};
    const ServerRoute route = RouteTo(options, {Transport::kTls, "files.test"}, 443);
    Events events;
    const auto socket = OpenRouteSocket(network, events, Transport::kTls, route);
    socket->Connect(route.host, route.port);
    ASSERT_EQ(loop.WaitUntil([&] { return !events.said.empty() && loop.Pending() == 0; }),
              WaitOutcome::kDone);

    EXPECT_EQ(network.hosts, std::vector<std::string>{"proxy.test"});
    EXPECT_EQ(network.received,
              "CONNECT files.test:443 HTTP/1.1\r\nHost: files.test:443\r\n"
              "Proxy-Authorization: Basic dTpw\r\n\r\n");
    EXPECT_EQ(events.said, c.said);
    ByteBuffer early;
    socket->GetData(early);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(early.data()), early.size()), c.early);
  }
}

}  // namespace
}  // namespace veldrask
