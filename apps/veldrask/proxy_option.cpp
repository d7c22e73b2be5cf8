#include "proxy_option.h"

#include <algorithm>
#include <charconv>
#include <cstdlib>

#include "base/text.h"
#include "http/field_text.h"
#include "request_options.h"

namespace veldrask::host {
namespace {

std::string PercentDecoded(std::string_view text) {
  std::string decoded;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '%' && i + 2 < text.size() && HexDigitValue(text[i + 1]) >= 0 &&
        HexDigitValue(text[i + 2]) >= 0) {
      decoded += static_cast<char>(HexDigitValue(text[i + 1]) * 16 + HexDigitValue(text[i + 2]));
      i += 2;
    } else {
      decoded += text[i];
    }
  }
  return decoded;
}

// The first of names that is set and not empty, lower case before capitals.
std::optional<std::string> FirstSet(const Environment& environment,
                                    std::initializer_list<const char*> names, const char*& found) {
  for (const char* name : names) {
    if (std::optional<std::string> value = environment(name); value && !value->empty()) {
      found = name;
      return value;
    }
  }
  return std::nullopt;
}

// The names of a comma-separated list, each trimmed; empty ones dropped.
std::vector<std::string> Names(std::string_view list) {
  std::vector<std::string> names;
  for (const std::string_view name : http_text::SplitList(list)) {
    if (!name.empty()) names.emplace_back(name);
  }
  return names;
}

}  // namespace

ProxyPlace ParseProxyUrl(std::string_view text, std::string_view source) {
  const std::string said = std::string(source) + " '" + std::string(text) + "': ";
  if (const std::size_t scheme = text.find("://"); scheme != std::string_view::npos) {
    if (!http_text::StartsWithIgnoreCase(text, "http://")) {
      throw UsageError(said + "only an http:// proxy is supported");
    }
    text.remove_prefix(scheme + 3);
  }
  for (const char c : text) {
    if (static_cast<unsigned char>(c) <= ' ' || c == 0x7f) {
      throw UsageError(said + "spaces and control characters must be percent-encoded");
    }
  }
  text = text.substr(0, text.find_first_of("/?#"));
  ProxyPlace proxy;
  if (const std::size_t at = text.rfind('@'); at != std::string_view::npos) {
    const std::string user = PercentDecoded(text.substr(0, at));
    if (user.find(':') == std::string::npos) throw UsageError(said + "give NAME:PASSWORD@");
    proxy.authorization = "Basic " + Base64(user);
    text.remove_prefix(at + 1);
  }
  // An IPv6 address keeps its brackets: the colons in it are not the port's.
  const bool bracketed = text.starts_with('[');
  if (bracketed && text.find(']') == std::string_view::npos) {
    throw UsageError(said + "an IPv6 address without ']'");
  }
  const std::size_t hostEnd = bracketed ? text.find(']') + 1 : text.find(':');
  proxy.host = std::string(text.substr(0, hostEnd));
  text.remove_prefix(std::min(hostEnd, text.size()));
  if (proxy.host.empty() || proxy.host == "[]") throw UsageError(said + "no host");
  proxy.port = kDefaultProxyPort;
  if (text.empty()) return proxy;
  const std::string_view port = text.substr(1);
  const auto [stop, error] = std::from_chars(port.data(), port.data() + port.size(), proxy.port);
  if (!text.starts_with(':') || port.empty() || error != std::errc() ||
      stop != port.data() + port.size() || proxy.port < 1 || proxy.port > 65535) {
    throw UsageError(said + "the port must be 1 to 65535");
  }
  return proxy;
}

std::optional<std::string> ProcessEnvironment(const char* name) {
  const char* value = std::getenv(name);
  if (value == nullptr) return std::nullopt;
  return std::string(value);
}

void ApplyProxies(const Options& options, const Environment& environment, HostOptions& host) {
  const auto place = [](const std::string& url, std::string_view source) {
    return url.empty() ? std::nullopt : std::optional(ParseProxyUrl(url, source));
  };
  if (options.proxy) {
    host.httpProxy = host.httpsProxy = place(*options.proxy, "--proxy");
  } else {
    const char* name = nullptr;
    const std::optional<std::string> all = FirstSet(environment, {"all_proxy", "ALL_PROXY"}, name);
    const std::optional<ProxyPlace> fallback = all ? place(*all, name) : std::nullopt;
    const std::optional<std::string> plain = FirstSet(environment, {"http_proxy"}, name);
    host.httpProxy = plain ? place(*plain, name) : fallback;
    const std::optional<std::string> secure =
        FirstSet(environment, {"https_proxy", "HTTPS_PROXY"}, name);
    host.httpsProxy = secure ? place(*secure, name) : fallback;
  }
  const char* name = nullptr;
  const std::optional<std::string> noProxy =
      options.noProxy ? options.noProxy : FirstSet(environment, {"no_proxy", "NO_PROXY"}, name);
  host.noProxy = noProxy ? Names(*noProxy) : std::vector<std::string>{};
}

}  // namespace veldrask::host
