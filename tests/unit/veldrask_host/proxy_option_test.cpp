// Proxies from --proxy and --noproxy, or from the environment as curl reads it.
#include "proxy_option.h"

#include <gtest/gtest.h>

#include <map>
#include <string>

namespace veldrask::host {
namespace {

using Variables = std::map<std::string, std::string>;

std::string Shown(const std::optional<ProxyPlace>& proxy) {
  if (!proxy) return "none";
  return proxy->host + ":" + std::to_string(proxy->port) +
         (proxy->authorization.empty() ? "" : " " + proxy->authorization);
}

TEST(ProxyOptionTest, OptionsComeBeforeTheEnvironmentAndEachVariableServesItsScheme) {
  const struct {
    std::optional<std::string> proxy;
    std::optional<std::string> noProxy;
    Variables environment;
    std::string http, https;
    std::vector<std::string> direct;
  } cases[] = {
      {{}, {}, {{"http_proxy", "http://p:3128"}}, "p:3128", "none", {}},
      {{}, {}, {{"HTTPS_PROXY", "p2"}, {"https_proxy", ""}}, "none", "p2:1080", {}},
      {{}, {}, {{"all_proxy", "a:1"}, {"https_proxy", "s:2"}}, "a:1", "s:2", {}},
      // HTTP_PROXY is a CGI program's view of the request's Proxy header.
      {{}, {}, {{"HTTP_PROXY", "evil:1"}}, "none", "none", {}},
      {"http://us%40r:p%3Aw@[::1]:8080/",
       {},
       {{"http_proxy", "other:1"}},
       "[::1]:8080 Basic dXNAcjpwOnc=",
       "[::1]:8080 Basic dXNAcjpwOnc=",
       {}},
      {"", {}, {{"http_proxy", "p:1"}, {"ALL_PROXY", "a:1"}}, "none", "none", {}},
      {{}, " a, .b ,,", {{"no_proxy", "c"}}, "none", "none", {"a", ".b"}},
      {{}, {}, {{"NO_PROXY", "c,*"}}, "none", "none", {"c", "*"}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.proxy.value_or("(no --proxy)"));
    Options options;
    options.proxy = c.proxy;
    options.noProxy = c.noProxy;
    HostOptions host;
    ApplyProxies(
        options,
        [&c](const char* name) -> std::optional<std::string> {
          const auto found = c.environment.find(name);
          if (found == c.environment.end()) return std::nullopt;
          return found->second;
        },
        host);
    EXPECT_EQ(Shown(host.httpProxy), c.http);
    EXPECT_EQ(Shown(host.httpsProxy), c.https);
    EXPECT_EQ(host.noProxy, c.direct);
  }
}

TEST(ProxyOptionTest, AProxyUrlThatCannotBeUsedIsAUsageErrorNamingWhereItCameFrom) {
  const struct {
    std::string url;
    std::string said;
  } cases[] = {
      {"https://p:1", "only an http:// proxy is supported"},
      {"socks5://p", "only an http:// proxy is supported"},
      {"http://:80", "no host"},
      {"p:0", "the port must be 1 to 65535"},
      {"p:65536", "the port must be 1 to 65535"},
      {"p:", "the port must be 1 to 65535"},
      {"[::1", "an IPv6 address without ']'"},
      {"[::1]x", "the port must be 1 to 65535"},
      {"user@p", "give NAME:PASSWORD@"},
      {"p q:1", "spaces and control characters must be percent-encoded"},
  };
  for (const auto& c : cases) {
    try {
      ParseProxyUrl(c.url, "https_proxy");
      ADD_FAILURE() << c.url << " was taken";
    } catch (const UsageError& error) {
      EXPECT_EQ(std::string(error.what()), "https_proxy '" + c.url + "': " + c.said);
    }
  }
}

}  // namespace
}  // namespace veldrask::host
