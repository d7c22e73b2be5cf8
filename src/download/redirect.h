#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <variant>

#include "common/server_address.h"

namespace veldrask {

// Where one GET goes: the server, its port and the request target.
struct FetchPlace {
  ServerAddress server;
  std::int32_t port = 80;
  std::string target;
};

// Whether a status sends the client elsewhere with its Location (301, 302, 303, 307, 308).
bool IsRedirectStatus(std::string_view statusCode);

// Where a Location field leads from the place that answered it: an absolute http:// or
// https:// URL, an absolute path on the same server, or a path relative to the target's
// folder. A scheme may stay or go up to HTTPS, never down to plain HTTP. The text says why a
// Location is not followed.
std::variant<FetchPlace, std::string> FollowLocation(const FetchPlace& from,
                                                     std::string_view location);

// "http[s]://host[:port]/target", as a redirect chain is shown.
std::string PlaceText(const FetchPlace& place);

}  // namespace veldrask
