#include "common/server_address.h"

#include <algorithm>

#include "base/error.h"

namespace veldrask {
namespace {

constexpr std::string_view kSecureScheme = "https://";

bool SameLetterCase(char a, char b) {
  const auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c; };
  return lower(a) == lower(b);
}

}  // namespace

ServerAddress ParseServerAddress(std::string_view hostName) {
  if (hostName.size() >= kSecureScheme.size() &&
      std::equal(kSecureScheme.begin(), kSecureScheme.end(), hostName.begin(), SameLetterCase)) {
    return {Transport::kTls, std::string(hostName.substr(kSecureScheme.size()))};
  }
  return {Transport::kPlain, std::string(hostName)};
}

std::unique_ptr<TcpSocket> CreateSocketFor(Network& network, SocketEvents& events,
                                           Transport transport) {
  if (transport == Transport::kPlain) return network.CreateTcpSocket(events);
  std::unique_ptr<TcpSocket> socket = network.CreateTlsSocket(events);
  if (!socket) {
    throw Error(socket_error::kSecureChannelFailed,
                "이 환경에서는 보안 연결(HTTPS)을 사용할 수 없습니다.");
  }
  return socket;
}

}  // namespace veldrask
