#pragma once

#include <string>
#include <string_view>

#include "http/host_options.h"
#include "options.h"

namespace veldrask::host {

// A -H/--header value as the line that goes out. Raises UsageError, naming the option, for
// one that is no "Name: value" line (no colon, a name that is no token, a control character
// or a byte past ASCII) and for one that would change the request's framing or contradict
// the control (Host, Content-Length, Transfer-Encoding; an upload's Content-Type; Cookie,
// which --cookie sets).
std::string CheckedHeaderLine(std::string_view given, Command command);

// The Authorization line for -u/--user NAME:PASSWORD (Basic). Raises UsageError without a
// colon: there is no prompt for the password.
std::string BasicAuthorizationLine(std::string_view user);

// RFC 4648 base64 with padding.
std::string Base64(std::string_view bytes);

// What the host adds to the control's requests, from the options.
HostOptions HostOptionsOf(const Options& options);

}  // namespace veldrask::host
