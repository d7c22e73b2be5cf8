#pragma once

// Proxies as curl's users give them: --proxy and --noproxy, or else the environment's
// http_proxy, https_proxy (HTTPS_PROXY), all_proxy (ALL_PROXY) and no_proxy (NO_PROXY).

#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "http/host_options.h"
#include "options.h"

namespace veldrask::host {

// The port of a proxy URL without one, as curl takes it.
inline constexpr std::int32_t kDefaultProxyPort = 1080;

// [http://][NAME:PASSWORD@]HOST[:PORT][/]: the credentials percent-decoded and sent as Basic.
// Raises UsageError naming source for another scheme, no host or a bad port.
ProxyPlace ParseProxyUrl(std::string_view text, std::string_view source);

// A variable's value; nullopt when it is not set.
using Environment = std::function<std::optional<std::string>(const char* name)>;
std::optional<std::string> ProcessEnvironment(const char* name);

// Sets host's proxies from options, or from environment where an option is not given. An
// empty --proxy means no proxy; an empty variable counts as not set. HTTP_PROXY in capitals is not
// read: a CGI program gets the request's Proxy header under that name.
void ApplyProxies(const Options& options, const Environment& environment, HostOptions& host);

}  // namespace veldrask::host
