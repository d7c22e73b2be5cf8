#include "upload/host_name.h"

#include "common/server_address.h"

namespace veldrask {
namespace {

std::string BareHost(std::string_view hostName) {
  std::string_view s = hostName;
  if (const auto scheme = s.find("://"); scheme != std::string_view::npos) {
    s.remove_prefix(scheme + 3);
  }
  const auto colon = s.find(':');
  const auto slash = s.find('/');
  // A colon after the first slash belongs to the path, not to a port.
  if (colon != std::string_view::npos && slash != std::string_view::npos && colon < slash) {
    return std::string(s.substr(0, colon));
  }
  if (slash != std::string_view::npos) return std::string(s.substr(0, slash));
  return std::string(s);
}

}  // namespace

std::string NormalizeHostName(std::string_view hostName) {
  // A secure address keeps its scheme as written, so that later sessions choose TLS too.
  const ServerAddress server = ParseServerAddress(hostName);
  if (server.transport == Transport::kTls) {
    return std::string(hostName.substr(0, hostName.size() - server.host.size())) +
           BareHost(server.host);
  }
  return BareHost(hostName);
}

}  // namespace veldrask
