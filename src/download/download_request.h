#pragma once

#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "platform/code_page.h"

namespace veldrask {

// The request target as it goes on the wire: CR, LF, space and the other control characters
// become "%" and two upper-case hex digits, so no target can end the request line early or
// add a header line. Every other byte stays as the page gave it.
std::string EscapeRequestTarget(std::string_view key);

// bytes with each byte past ASCII as "%" and two upper-case hex digits, ASCII as it is (a
// link in a page's charset, as a browser writes it).
std::string PercentEncodeNonAscii(std::string_view bytes);

// The bytes that name key on the wire: key in the ANSI code page when that can represent
// every character of it; otherwise, with utf8Fallback (Charset is UTF-8), its UTF-8 with each
// byte past ASCII percent-encoded; otherwise none, since the "?" the code page puts in place
// of a character would ask for another resource.
std::optional<std::string> RequestTargetBytes(std::string_view key, const CodePage& ansi,
                                              bool utf8Fallback);

// Whether host can stand in the Host line: it holds no CR, LF or other control character.
bool IsSendableHostName(std::string_view host);

// The request of one file, five lines each ended by CR LF (the last one empty):
// "GET " + target + " HTTP/1.1", "Host: " + host (no port), "Connect: close", "Accept: */*".
// The third header keeps the control's own name: the client closes each connection itself.
// target and host are the bytes that go out. A host's extra lines come before the empty one;
// one that holds a control character is not sent (the host refuses such lines first).
std::string DownloadRequestText(std::string_view target, std::string_view host,
                                std::span<const std::string> extraHeaders = {});

}  // namespace veldrask
