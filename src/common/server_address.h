#pragma once

#include <string>
#include <string_view>

namespace veldrask {

// How a session reaches the server named by HostName.
enum class Transport { kPlain, kTls };

struct ServerAddress {
  Transport transport = Transport::kPlain;
  // What the connection is made to and the Host line names: HostName without an "https://"
  // in front. Any other value, "http://" included, stays exactly as written.
  std::string host;
};

// "https://" at the start of hostName, in any letter case, asks for TLS.
ServerAddress ParseServerAddress(std::string_view hostName);

}  // namespace veldrask
