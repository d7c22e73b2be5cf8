#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace veldrask {

// An HTTP proxy: where it listens and what it is told of the credentials it asks for.
struct ProxyPlace {
  std::string host;
  std::int32_t port = 0;
  std::string authorization;  // the Proxy-Authorization value ("Basic ..."); empty: none

  bool operator==(const ProxyPlace&) const = default;
};

// What a host that embeds the control adds to its requests beyond what a page can set (a
// terminal's options); never a scripting member, and none of it changes a page's requests.
struct HostOptions {
  // Upload: one field name for every file part instead of FilePrefix and a number (for
  // servers that read a list of files under one name).
  std::optional<std::string> fileFieldName;
  // "Name: value" lines added to every request's head, after the control's own lines. The
  // host refuses those that would change the framing; the composition refuses a line break.
  std::vector<std::string> extraHeaders;
  // Download: a file the server refused does not stop the session; it is listed as failed.
  bool keepGoing = false;
  // Download: redirects (301, 302, 303, 307, 308) followed, at most this many for a file; 0
  // follows none (a redirect is the server's refusal, as for a page).
  std::int32_t redirectLimit = 0;
  // Proxies. A plain request goes to httpProxy with the whole URL as its target; a TLS one
  // through a CONNECT tunnel of httpsProxy, so the certificate checked is still the server's.
  std::optional<ProxyPlace> httpProxy;
  std::optional<ProxyPlace> httpsProxy;
  // Servers reached without a proxy: names, domains (a name ends in one) and addresses; "*"
  // is every server.
  std::vector<std::string> noProxy;
};

}  // namespace veldrask
