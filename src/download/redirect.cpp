#include "download/redirect.h"

#include <charconv>

#include "base/text.h"
#include "http/field_text.h"

namespace veldrask {
namespace {

std::int32_t DefaultPort(Transport transport) {
  return transport == Transport::kTls ? 443 : 80;
}

}  // namespace

bool IsRedirectStatus(std::string_view statusCode) {
  for (const std::string_view code : {"301", "302", "303", "307", "308"}) {
    if (statusCode == code) return true;
  }
  return false;
}

std::variant<FetchPlace, std::string> FollowLocation(const FetchPlace& from,
                                                     std::string_view location) {
  if (location.empty()) return std::string("the redirect names no Location");
  for (const char c : location) {
    if (static_cast<unsigned char>(c) < 0x20 || c == 0x7f) {
      return std::string("the Location holds a control character");
    }
  }
  FetchPlace next = from;
  std::string_view rest = location;
  if (http_text::StartsWithIgnoreCase(rest, "http://") ||
      http_text::StartsWithIgnoreCase(rest, "https://")) {
    const bool tls = http_text::StartsWithIgnoreCase(rest, "https://");
    if (!tls && from.server.transport == Transport::kTls) {
      return std::string("a redirect from HTTPS to plain HTTP is not followed");
    }
    rest.remove_prefix(tls ? 8 : 7);
    const std::size_t pathStart = rest.find_first_of("/?#");
    std::string_view authority = rest.substr(0, pathStart);
    rest = pathStart == std::string_view::npos ? std::string_view("/") : rest.substr(pathStart);
    if (authority.find('@') != std::string_view::npos) {
      return std::string("a Location with credentials in it is not followed");
    }
    next.server.transport = tls ? Transport::kTls : Transport::kPlain;
    next.port = DefaultPort(next.server.transport);
    const std::size_t colon = authority.rfind(':');
    if (colon != std::string_view::npos && authority.find(']', colon) == std::string_view::npos) {
      const std::string_view digits = authority.substr(colon + 1);
      std::int32_t port = 0;
      const auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), port);
      if (error != std::errc() || end != digits.data() + digits.size() || port < 1 ||
          port > 65535) {
        return "the Location's port '" + std::string(digits) + "' is no port";
      }
      next.port = port;
      authority = authority.substr(0, colon);
    }
    if (authority.empty()) return std::string("the Location names no host");
    next.server.host = std::string(authority);
  }
  // The fragment is the client's own; it never goes to a server.
  rest = rest.substr(0, rest.find('#'));
  if (rest.starts_with('/')) {
    next.target = std::string(rest);
  } else {
    const std::string_view path = std::string_view(from.target).substr(0, from.target.find('?'));
    next.target = std::string(path.substr(0, path.rfind('/') + 1)) + std::string(rest);
  }
  return next;
}

std::string PlaceText(const FetchPlace& place) {
  const bool tls = place.server.transport == Transport::kTls;
  std::string text = tls ? "https://" : "http://";
  text += place.server.host;
  if (place.port != DefaultPort(place.server.transport)) text += ":" + ToDecimal(place.port);
  return text + place.target;
}

}  // namespace veldrask
