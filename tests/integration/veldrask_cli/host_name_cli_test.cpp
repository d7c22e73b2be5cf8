// HostName as pages write it, through both commands: what the control cleans goes out as the
// control sends it, what it would look up as a host name is refused with the form to use.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "cli_test.h"
#include "support/servers.h"
#include "support/tls_servers.h"

namespace veldrask::testing {
namespace {

class HostNameCliTest : public CliTest {};

std::size_t Count(std::string_view text, std::string_view part) {
  std::size_t count = 0;
  for (std::size_t at = text.find(part); at != std::string_view::npos;
       at = text.find(part, at + part.size())) {
    ++count;
  }
  return count;
}

TEST_F(HostNameCliTest, FormsTheUploadCleansGoOutAsTheControlSendsThemAndTheRestAreRefused) {
  const std::filesystem::path records = Folder("records");
  const auto recorder = StartRecordingServer(records);
  const auto front = StartTlsFront({.to = recorder->port(), .faults = {}});
  const std::string plain = std::to_string(recorder->port());
  const std::string secure = std::to_string(front->port());
  const std::string file = Write("a.txt", "alpha\n").string();
  const std::string notice = "veldrask: notice: HostName";
  const struct {
    std::string command;
    std::string hostName;
    bool tls;  // ServerPort is the TLS front's, else the recorder's
    int status;
    std::string said;  // on stderr: the location after an upload, the refusal's advice
    bool noticed;      // the port in HostName is not ServerPort: said once
  } cases[] = {
      {"upload", "http://127.0.0.1:" + plain + "/ignored/path", false, 0,
       "location: http://127.0.0.1\n", false},
      {"upload", "127.0.0.1/board/list.php", false, 0, "location: http://127.0.0.1\n", false},
      {"upload", "127.0.0.1:" + plain + "/board", false, 0, "location: http://127.0.0.1\n", false},
      {"upload", "HTTP://127.0.0.1:1/board", false, 0, "location: http://127.0.0.1\n", true},
      {"upload", "127.0.0.1:" + plain, false, 2,
       "use --param HostName=127.0.0.1 --param ServerPort=" + plain, false},
      {"upload", "https://127.0.0.1:" + secure + "/board", true, 0, "location: https://127.0.0.1\n",
       false},
      {"upload", "HTTPS://127.0.0.1:1/", true, 0, "location: https://127.0.0.1\n", true},
      {"upload", "hTtPs://127.0.0.1:" + secure, true, 2,
       "use --param HostName=https://127.0.0.1 --param ServerPort=" + secure, false},
      // Downloads use HostName as it stands, so the host refuses every form but the bare host.
      {"download", "http://127.0.0.1:" + plain + "/x", false, 2,
       "use --param HostName=127.0.0.1 --param ServerPort=" + plain, false},
      {"download", "127.0.0.1/board", false, 2,
       "is a URL, which downloads use as it stands: use --param HostName=127.0.0.1\n", false},
      {"download", "http://127.0.0.1/", false, 2, "use --param HostName=127.0.0.1\n", false},
      {"download", "https://127.0.0.1:" + secure, true, 2,
       "use --param HostName=https://127.0.0.1 --param ServerPort=" + secure, false},
      {"download", "HTTPS://127.0.0.1/x", true, 2, "use --param HostName=https://127.0.0.1\n",
       false},
  };
  int connections = 0;
  for (const auto& c : cases) {
    SCOPED_TRACE(c.command + " " + c.hostName);
    // Under Wine the certificate's name is matched against DNS names only, not 127.0.0.1.
    if (c.tls && WindowsHost()) continue;
    std::vector<std::string> arguments = {"--param", "HostName=" + c.hostName,
                                          "--param", "ServerPort=" + (c.tls ? secure : plain),
                                          "--param", "ActionURL=/cgi/upload.php"};
    if (c.tls) arguments.push_back("--cacert=" + (TestCertificates() / "ca.pem").string());
    arguments.push_back(c.command);
    arguments.push_back(c.command == "upload" ? file : "/a.txt:6");

    const CliResult result = Run(arguments);

    EXPECT_EQ(result.status, c.status) << result.err;
    EXPECT_NE(result.err.find(c.said), std::string::npos) << result.err;
    EXPECT_EQ(Count(result.err, notice), c.noticed ? 1u : 0u) << result.err;
    if (c.status != 0) continue;
    const std::string request = WaitForRecordedConnection(records, ++connections);
    EXPECT_TRUE(request.starts_with("POST /cgi/upload.php HTTP/1.1\r\nHost: 127.0.0.1\r\n"))
        << request.substr(0, 200);
  }
  EXPECT_FALSE(
      std::filesystem::exists(records / ("connection-" + std::to_string(connections + 1) + ".bin")))
      << "a refused form sends nothing";
}

}  // namespace
}  // namespace veldrask::testing
