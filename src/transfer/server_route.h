#pragma once

// How a transfer window reaches its server: straight, through a proxy that forwards a plain
// request, or through a proxy's CONNECT tunnel for TLS.

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "common/server_address.h"
#include "http/host_options.h"
#include "http/proxy_tunnel.h"
#include "platform/tcp_socket.h"

namespace veldrask {

struct ServerRoute {
  // What the socket connects to: the server, or the proxy that forwards plain requests. A
  // tunnel's socket connects to the server by name, and the tunnel to the proxy.
  std::string host;
  std::int32_t port = 0;
  std::optional<ProxyPlace> tunnel;
  // A forwarded request's target starts with this "http://host[:port]"; empty when straight.
  std::string forwardOrigin;
  // The forwarding proxy's Proxy-Authorization value; empty: none.
  std::string proxyAuthorization;
};

// no_proxy's reading: host is one of the names, or ends in one as a domain (".example.com"
// and "example.com" alike), in any letter case; "*" is every host.
bool ReachedDirectly(const std::vector<std::string>& noProxy, std::string_view host);

// The route to server's port with the host's proxies.
ServerRoute RouteTo(const HostOptions& options, const ServerAddress& server, std::int32_t port);

// A request's head as it goes by route: for a forwarding proxy the target a whole URL and the
// proxy's credentials after the request line; otherwise the head as it is.
std::string HeadForRoute(const ServerRoute& route, std::string_view head);

// A socket for transport by route: plain, TLS, or TLS through the tunnel, whose heads go to
// observer's answer. Throws the error to show when the platform has no TLS.
std::unique_ptr<TcpSocket> OpenRouteSocket(Network& network, SocketEvents& events,
                                           Transport transport, const ServerRoute& route,
                                           ProxyTunnel::ObserverOfTheMoment observer = {});

}  // namespace veldrask
