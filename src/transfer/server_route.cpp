#include "transfer/server_route.h"

#include "base/error.h"
#include "base/text.h"
#include "http/field_text.h"
#include "http/proxy_tunnel.h"

namespace veldrask {
namespace {

constexpr std::int32_t kHttpPort = 80;

}  // namespace

bool ReachedDirectly(const std::vector<std::string>& noProxy, std::string_view host) {
  const std::string_view name = WithoutBrackets(host);
  for (std::string_view entry : noProxy) {
    if (entry == "*") return true;
    entry = WithoutBrackets(entry);
    if (entry.starts_with('.')) entry.remove_prefix(1);
    if (entry.empty() || entry.size() > name.size()) continue;
    const std::string_view end = name.substr(name.size() - entry.size());
    if (http_text::EqualsIgnoreCase(end, entry) &&
        (end.size() == name.size() || name[name.size() - entry.size() - 1] == '.')) {
      return true;
    }
  }
  return false;
}

ServerRoute RouteTo(const HostOptions& options, const ServerAddress& server, std::int32_t port) {
  ServerRoute route{server.host, port, std::nullopt, {}, {}};
  const bool secure = server.transport == Transport::kTls;
  const std::optional<ProxyPlace>& proxy = secure ? options.httpsProxy : options.httpProxy;
  if (!proxy || ReachedDirectly(options.noProxy, server.host)) return route;
  if (secure) {
    route.tunnel = proxy;
    return route;
  }
  route.host = proxy->host;
  route.port = proxy->port;
  route.forwardOrigin = "http://" + server.host;
  if (port != kHttpPort) route.forwardOrigin += ":" + ToDecimal(port);
  route.proxyAuthorization = proxy->authorization;
  return route;
}

std::string HeadForRoute(const ServerRoute& route, std::string_view head) {
  std::string routed(head);
  const std::size_t targetStart = routed.find(' ');
  if (route.forwardOrigin.empty() || targetStart == std::string::npos) return routed;
  routed.insert(targetStart + 1, route.forwardOrigin);
  const std::size_t lineEnd = routed.find("\r\n");
  if (!route.proxyAuthorization.empty() && lineEnd != std::string::npos) {
    routed.insert(lineEnd + 2, "Proxy-Authorization: " + route.proxyAuthorization + "\r\n");
  }
  return routed;
}

std::unique_ptr<TcpSocket> OpenRouteSocket(Network& network, SocketEvents& events,
                                           Transport transport, const ServerRoute& route,
                                           ProxyTunnel::ObserverOfTheMoment observer) {
  if (transport == Transport::kPlain) return network.CreateTcpSocket(events);
  const auto overTunnel = [&](SocketEvents& tlsEvents) {
    return std::make_unique<ProxyTunnel>(network, tlsEvents, *route.tunnel, observer);
  };
  std::unique_ptr<TcpSocket> socket = route.tunnel ? network.CreateTlsSocketOver(events, overTunnel)
                                                   : network.CreateTlsSocket(events);
  if (!socket) {
    throw Error(socket_error::kSecureChannelFailed,
                "이 환경에서는 보안 연결(HTTPS)을 사용할 수 없습니다.");
  }
  return socket;
}

}  // namespace veldrask
