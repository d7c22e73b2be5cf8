// veldrask through HTTP proxies: the bytes a proxy is sent, and Debian's tinyproxy forwarding
// plain requests and tunnelling TLS, chosen by option or by the environment as curl's users
// set it.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "cli_test.h"
#include "late_listener.h"
#include "support/files.h"
#include "support/servers.h"
#include "support/tls_servers.h"

namespace veldrask::testing {
namespace {

class ProxyCliTest : public CliTest {
 protected:
  void SetUp() override {
    store_ = Folder("store");
    WriteFile(store_ / "a.txt", "alpha\n");
    php_ = StartPhpServer(store_);
  }

  // Downloads a.txt from url's folder into a fresh folder; options go before the command.
  CliResult Download(const std::string& url, std::vector<std::string> options,
                     const std::vector<std::string>& environment) const {
    options.insert(options.end(),
                   {"download", "--to", Folder("out" + std::to_string(++runs_)).string(), "--url",
                    url, "a.txt:6"});
    return Start(options, ErrorOutput::kPipe, environment)->Finish(kRunLimit);
  }
  std::string PlainUrl() const { return "http://127.0.0.1:" + std::to_string(php_->port()) + "/"; }
  static std::string ProxyUrl(int port) { return "http://127.0.0.1:" + std::to_string(port); }

  std::filesystem::path store_;
  std::unique_ptr<ServerProcess> php_;
  mutable int runs_ = 0;
};

TEST_F(ProxyCliTest, AProxyIsSentTheWholeUrlOrATunnelRequestWithItsCredentials) {
  const struct {
    std::string url;
    std::vector<std::string> command;
    std::string expected;
  } cases[] = {
      {"http://127.0.0.1:8080/up",
       {"upload", "--field", "t=1"},
       "POST http://127.0.0.1:8080/up HTTP/1.1\r\nProxy-Authorization: Basic dTpw\r\n"
       "Host: 127.0.0.1\r\n"},
      {"http://localhost/files/",
       {"download", "--to", Root().string(), "a.txt:6"},
       "GET http://localhost/files/a.txt HTTP/1.1\r\nProxy-Authorization: Basic dTpw\r\n"
       "Host: localhost\r\n"},
      {"https://localhost:8443/",
       {"download", "--to", Root().string(), "a.txt:6"},
       "CONNECT localhost:8443 HTTP/1.1\r\nHost: localhost:8443\r\n"
       "Proxy-Authorization: Basic dTpw\r\n\r\n"},
  };
  int connection = 0;
  const std::filesystem::path records = Folder("records");
  RecordingReply refusal;
  refusal.status = "407 Proxy Authentication Required";
  const auto proxy = StartRecordingServer(records, refusal);
  for (const auto& c : cases) {
    SCOPED_TRACE(c.expected);
    std::vector<std::string> arguments = {
        "--proxy", "http://u:p@127.0.0.1:" + std::to_string(proxy->port()), "--url", c.url};
    arguments.insert(arguments.end(), c.command.begin(), c.command.end());
    const CliResult result = Run(arguments);

    const std::string sent = WaitForRecordedConnection(records, ++connection);
    EXPECT_EQ(sent.substr(0, c.expected.size()), c.expected) << sent;
    if (c.url.starts_with("https")) {
      EXPECT_EQ(result.status, 56) << result.err;
      EXPECT_NE(result.err.find("CONNECT localhost:8443)을 열지 않았습니다: 407 Proxy "
                                "Authentication Required"),
                std::string::npos)
          << result.err;
    } else {
      EXPECT_EQ(result.status, 22) << "the proxy's 407 is the answer: " << result.err;
    }
  }
}

TEST_F(ProxyCliTest, TinyproxyForwardsAndTunnelsAsTheOptionsAndTheEnvironmentSay) {
  const std::filesystem::path log = Root() / "proxy.log";
  const auto proxy = StartProxyServer({.log = log, .connectPorts = {}, .basicAuth = {}});
  const auto front = StartTlsFront({.to = php_->port(), .faults = {}});
  const auto guarded =
      StartProxyServer({.log = Root() / "guarded.log", .connectPorts = {443}, .basicAuth = "u:p"});
  LateListener down;  // refuses every connection
  const std::string tinyproxy = ProxyUrl(proxy->port());
  const std::string secureUrl = "https://localhost:" + std::to_string(front->port()) + "/";
  const std::string trust = "--cacert=" + (TestCertificates() / "ca.pem").string();
  const struct {
    std::string what;
    std::string url;
    std::vector<std::string> options;
    std::vector<std::string> environment;
    int status;
    std::string said;  // in stderr, or in the proxy's log for a success
  } cases[] = {
      {"http_proxy forwards a plain request",
       PlainUrl(),
       {},
       {"http_proxy=" + tinyproxy},
       0,
       "GET http://127.0.0.1:" + std::to_string(php_->port()) + "/a.txt"},
      {"https_proxy tunnels TLS, the server's certificate checked",
       secureUrl,
       {trust},
       {"HTTPS_PROXY=" + tinyproxy},
       0,
       "CONNECT localhost:" + std::to_string(front->port())},
      {"--proxy for both, ahead of the environment",
       secureUrl,
       {trust, "-x", tinyproxy},
       {"https_proxy=" + ProxyUrl(down.Port())},
       0,
       "CONNECT localhost:"},
      {"no_proxy names a server reached directly",
       PlainUrl(),
       {},
       {"http_proxy=" + ProxyUrl(down.Port()), "no_proxy=example.com, 127.0.0.1"},
       0,
       ""},
      {"an empty --proxy turns the environment's off",
       PlainUrl(),
       {"--proxy", ""},
       {"http_proxy=" + ProxyUrl(down.Port())},
       0,
       ""},
      {"a proxy that refuses connections",
       PlainUrl(),
       {"--proxy", ProxyUrl(down.Port())},
       {},
       7,
       "10061:"},
      {"a tunnel the proxy will not open",
       secureUrl,
       {trust, "--proxy", "http://u:p@127.0.0.1:" + std::to_string(guarded->port())},
       {},
       56,
       "12033:프록시(127.0.0.1:" + std::to_string(guarded->port()) + ")가 터널(CONNECT localhost:" +
           std::to_string(front->port()) + ")을 열지 않았습니다: 403 "},
      {"-v shows the tunnel's exchange with the proxy",
       secureUrl,
       {trust, "-v", "--proxy", "http://u:p@127.0.0.1:" + std::to_string(guarded->port())},
       {},
       56,
       "> CONNECT localhost:" + std::to_string(front->port()) +
           " HTTP/1.1\n> Host: localhost:" + std::to_string(front->port()) +
           "\n> Proxy-Authorization: Basic dTpw\n> \n< HTTP/1.1 403 "},
      {"a proxy that wants credentials",
       PlainUrl(),
       {"--proxy", ProxyUrl(guarded->port())},
       {},
       22,
       "(407 "},
      {"credentials in the proxy's URL",
       PlainUrl(),
       {"--proxy", "http://u:p@127.0.0.1:" + std::to_string(guarded->port())},
       {},
       0,
       ""},
      {"a proxy scheme the control does not speak",
       PlainUrl(),
       {},
       {"http_proxy=socks5://127.0.0.1:1080"},
       2,
       "http_proxy 'socks5://127.0.0.1:1080': only an http:// proxy is supported"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    const CliResult result = Download(c.url, c.options, c.environment);

    EXPECT_EQ(result.status, c.status) << result.err;
    const std::string& shown = c.status == 0 ? ReadFile(log) : result.err;
    EXPECT_NE(shown.find(c.said), std::string::npos) << shown;
    if (c.status == 0) {
      EXPECT_EQ(ReadFile(Root() / ("out" + std::to_string(runs_)) / "a.txt"), "alpha\n");
    }
  }
}

TEST_F(ProxyCliTest, AnUploadThroughTinyproxyArrivesWhole) {
  const std::filesystem::path log = Root() / "proxy.log";
  const auto proxy = StartProxyServer({.log = log, .connectPorts = {}, .basicAuth = {}});
  const std::filesystem::path file = Write("보고서.txt", "report\n");
  const CliResult result = Run({"--proxy", ProxyUrl(proxy->port()), "--url",
                                PlainUrl() + "upload.php", "upload", file.string()});

  EXPECT_EQ(result.status, 0) << result.err;
  EXPECT_EQ(ReadFile(store_ / Cp949("보고서.txt")), "report\n");
  EXPECT_NE(ReadFile(log).find("POST " + PlainUrl() + "upload.php"), std::string::npos);
}

}  // namespace
}  // namespace veldrask::testing
