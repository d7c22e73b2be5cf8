// veldrask over HTTPS: the same bytes as over plain TCP inside TLS, downloads through each body
// framing, and every way a secure connection can fail, against real TLS servers with
// certificates made for the test.
#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

#include "cli_test.h"
#include "support/deterministic_bytes.h"
#include "support/files.h"
#include "support/servers.h"
#include "support/tls_servers.h"

namespace veldrask::testing {
namespace {

constexpr std::size_t kBodySize = 300000;

class HttpsCliTest : public CliTest {
 protected:
  std::vector<std::string> Server(std::string_view host, int port) const {
    return {"--quiet", "--param", "HostName=" + std::string(host), "--param",
            "ServerPort=" + std::to_string(port)};
  }
  std::string TrustTestCa() const { return "--cacert=" + (TestCertificates() / "ca.pem").string(); }
  // The download of /file.bin into out; the arguments go before the command, the environment
  // entries ("NAME=value") are added to the test's own.
  CliResult Download(std::vector<std::string> arguments,
                     const std::vector<std::string>& environment = {}) const {
    arguments.insert(arguments.end(), {"download", "--to", (Root() / "out").string(),
                                       "/file.bin:" + std::to_string(kBodySize)});
    return Start(arguments, ErrorOutput::kPipe, environment)->Finish(kRunLimit);
  }
  std::filesystem::path Downloaded() const { return Root() / "out" / "file.bin"; }
  // A store that PHP serves with Content-Length.
  std::unique_ptr<ServerProcess> StartStore() const {
    const std::filesystem::path store = Folder("store");
    WriteFile(store / "file.bin", body_);
    return StartPhpServer(store);
  }

  const std::string body_ = DeterministicBytes("https", 0, kBodySize);
};

std::string HexNumber(std::size_t value) {
  std::ostringstream text;
  text << std::hex << value;
  return text.str();
}

// The request as the server read it, with the control's random boundary named B.
std::string WithoutBoundary(std::string request) {
  const std::string marker = "boundary=";
  const std::size_t start = request.find(marker) + marker.size();
  const std::string boundary = request.substr(start, request.find("\r\n", start) - start);
  for (std::size_t at = request.find(boundary); at != std::string::npos;
       at = request.find(boundary, at)) {
    request.replace(at, boundary.size(), "B");
  }
  return request;
}

TEST_F(HttpsCliTest, AnUploadInsideTlsIsByteForByteThePlainOneAndTheReturnIsHttps) {
  const std::filesystem::path records = Folder("records");
  const auto recorder = StartRecordingServer(records);
  const auto front = StartTlsFront({.to = recorder->port(), .faults = {}});
  const std::filesystem::path file = Write("big.bin", body_);
  const std::vector<std::string> upload = {"--param", "ActionURL=/up", "--param", "MaxFileSize=10",
                                           "upload",  "--field",       "note=x",  file.string()};
  // localhost: under Wine the certificate's name is matched against its DNS names only.
  std::vector<std::string> plain = Server("localhost", recorder->port());
  std::vector<std::string> secure = Server("HTTPS://localhost/ignored", front->port());
  plain.insert(plain.end(), upload.begin(), upload.end());
  secure.insert(secure.begin(), TrustTestCa());
  secure.insert(secure.end(), upload.begin(), upload.end());

  const CliResult overPlain = Run(plain);
  ASSERT_EQ(overPlain.status, 0) << overPlain.err;
  const CliResult overTls = Run(secure);
  ASSERT_EQ(overTls.status, 0) << overTls.err;

  EXPECT_EQ(overTls.err, "") << "--quiet: no progress and no location";
  EXPECT_EQ(overTls.out, overPlain.out);
  const std::string plainRequest = WaitForRecordedConnection(records, 1);
  ASSERT_GT(plainRequest.size(), kBodySize);
  EXPECT_EQ(WithoutBoundary(WaitForRecordedConnection(records, 2)), WithoutBoundary(plainRequest));
}

// The TLS stream must end with the server's close notice when only the close ends the body.
TEST_F(HttpsCliTest, DownloadsThroughEachFramingAndACutStreamIsAFailure) {
  const std::string head = "HTTP/1.1 200 OK\r\nContent-Type: application/octet-stream\r\n";
  const std::string toTheClose = head + "\r\n" + body_;
  const std::string chunked = head + "Transfer-Encoding: chunked\r\n\r\n1000\r\n" +
                              body_.substr(0, 0x1000) + "\r\n" + HexNumber(kBodySize - 0x1000) +
                              "\r\n" + body_.substr(0x1000) + "\r\n0\r\n\r\n";
  const struct {
    const char* framing;
    std::string rawReply;  // empty: PHP serves the file with Content-Length
    bool abrupt;
    bool completes;
  } cases[] = {
      {"content-length", "", false, true}, {"content-length", "", true, true},
      {"chunked", chunked, false, true},   {"chunked", chunked, true, true},
      {"close", toTheClose, false, true},  {"close", toTheClose, true, false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(c.framing) + (c.abrupt ? ", cut without close notice" : ""));
    std::filesystem::remove_all(Root() / "out");
    std::unique_ptr<ServerProcess> backend;
    if (c.rawReply.empty()) {
      backend = StartStore();
    } else {
      RecordingReply reply;
      reply.raw_reply_file = Write("reply.bin", c.rawReply);
      backend = StartRecordingServer(Folder("records"), reply);
    }
    TlsFront front{.to = backend->port(), .faults = {}};
    if (c.abrupt) front.faults = {"abrupt-close"};
    const auto server = StartTlsFront(front);
    std::vector<std::string> arguments = Server("https://localhost", server->port());
    arguments.push_back(TrustTestCa());

    const CliResult result = Download(arguments);

    if (c.completes) {
      EXPECT_EQ(result.status, 0) << result.err;
      EXPECT_EQ(ReadFile(Downloaded()), body_);
    } else {
      EXPECT_EQ(result.status, 56) << result.err;
      EXPECT_NE(result.err.find("종료 알림 없이"), std::string::npos) << result.err;
      EXPECT_FALSE(std::filesystem::exists(Downloaded()));
    }
  }
}

TEST_F(HttpsCliTest, EachFailedConnectionSaysWhyAndLeavesNoFile) {
  const auto store = StartStore();
  const struct {
    const char* what;
    const char* certificate;  // "": the plain store itself; "email": a plain Python server
    std::vector<std::string> faults;
    const char* host;
    bool trustTestCa;
    std::vector<std::string> options;
    int status;
    const char* said;  // in stderr
  } cases[] = {
      {"trusted", "good", {}, "https://localhost", true, {}, 0, ""},
      {"unknown issuer", "good", {}, "https://localhost", false, {}, 60, "12045:"},
      {"expired",
       "expired",
       {},
       "https://127.0.0.1",
       true,
       {},
       60,
       "12037:서버 인증서의 유효 기간"},
      {"other name", "other-name", {}, "https://127.0.0.1", true, {}, 60, "12038:"},
      {"self-signed", "self-signed", {}, "https://127.0.0.1", true, {}, 60, "자체 서명"},
      {"insecure",
       "self-signed",
       {},
       "https://127.0.0.1",
       false,
       {"--insecure"},
       0,
       "--insecure: the server's certificate is not checked"},
      {"huge chain", "huge-chain", {}, "https://127.0.0.1", true, {}, 35, "12157:"},
      {"old protocol", "good", {"max-tls-1.1"}, "https://127.0.0.1", true, {}, 35, "12157:"},
      {"renegotiation", "good", {"renegotiate"}, "https://localhost", true, {}, 35, "재협상"},
      {"plain server, silent", "", {}, "https://127.0.0.1", true, {}, 35, "HTTPS 서버가 아닐"},
      {"plain server, answering", "email", {}, "https://127.0.0.1", true, {}, 35, "평문(HTTP)"},
      {"plain client", "good", {}, "127.0.0.1", true, {}, 52, "HostName=https://127.0.0.1"},
      {"stalled handshake",
       "good",
       {"stall"},
       "https://127.0.0.1",
       true,
       {"--max-time=2"},
       28,
       "stopped by --max-time"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    std::filesystem::remove_all(Root() / "out");
    std::unique_ptr<ServerProcess> front;
    if (std::string_view(c.certificate) == "email") {
      front = StartPythonServer("email", Folder("email"));
    } else if (*c.certificate != '\0') {
      front =
          StartTlsFront({.certificate = c.certificate, .to = store->port(), .faults = c.faults});
    }
    std::vector<std::string> arguments = Server(c.host, front ? front->port() : store->port());
    if (c.trustTestCa) arguments.push_back(TrustTestCa());
    arguments.insert(arguments.end(), c.options.begin(), c.options.end());

    const CliResult result = Download(arguments);

    EXPECT_EQ(result.status, c.status) << result.err;
    EXPECT_NE(result.err.find(c.said), std::string::npos) << result.err;
    EXPECT_EQ(std::filesystem::exists(Downloaded()), c.status == 0) << result.err;
    if (c.status == 0) {
      EXPECT_EQ(ReadFile(Downloaded()), body_);
    }
  }
}

// The system's store is read from the hashed folder, an issuer at a time; a bundle named in
// SSL_CERT_FILE is read besides it.
TEST_F(HttpsCliTest, TheSystemStoreIsTheHashedFolderAndABundleTheEnvironmentNames) {
  if (WindowsHost()) GTEST_SKIP() << "veldrask.exe's system store is the Windows certificate store";
  const auto store = StartStore();
  const auto front = StartTlsFront({.to = store->port(), .faults = {}});
  const std::filesystem::path& certificates = TestCertificates();
  const struct {
    const char* what;
    std::string setting;
    int status;
  } cases[] = {
      {"hashed folder", "SSL_CERT_DIR=" + (certificates / "hashed").string(), 0},
      {"folder without hashed names", "SSL_CERT_DIR=" + (certificates / "unhashed").string(), 60},
      {"bundle", "SSL_CERT_FILE=" + (certificates / "ca.pem").string(), 0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    std::filesystem::remove_all(Root() / "out");

    const CliResult result = Download(Server("https://127.0.0.1", front->port()), {c.setting});

    EXPECT_EQ(result.status, c.status) << result.err;
    if (c.status == 0) {
      EXPECT_EQ(ReadFile(Downloaded()), body_);
    } else {
      EXPECT_NE(result.err.find("12045:"), std::string::npos) << result.err;
    }
  }
}

}  // namespace
}  // namespace veldrask::testing
