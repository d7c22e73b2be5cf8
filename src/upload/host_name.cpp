#include "upload/host_name.h"

namespace veldrask {

std::string NormalizeHostName(std::string_view hostName) {
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

}  // namespace veldrask
