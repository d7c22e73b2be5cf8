#pragma once

#include <string>
#include <string_view>

namespace veldrask {

// The request target as it goes on the wire: CR, LF, space and the other control characters
// become "%" and two upper-case hex digits, so no target can end the request line early or
// add a header line. Every other byte stays as the page gave it.
std::string EscapeRequestTarget(std::string_view key);

// Whether host can stand in the Host line: it holds no CR, LF or other control character.
bool IsSendableHostName(std::string_view host);

// The request of one file, five lines each ended by CR LF (the last one empty):
// "GET " + target + " HTTP/1.1", "Host: " + host (no port), "Connect: close", "Accept: */*".
// The third header keeps the control's own name: the client closes each connection itself.
std::string DownloadRequestText(std::string_view key, std::string_view host);

}  // namespace veldrask
