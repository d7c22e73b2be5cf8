// A download cut at every byte of its exchange, by a close and by a reset: the file arrives
// whole or fails, and nothing of it stays in the download folder when it fails.

#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <vector>

#include "download/download_request.h"
#include "integration/download/download_server_fixture.h"
#include "integration/fault_sweep/sweep_support.h"
#include "support/deterministic_bytes.h"
#include "support/files.h"
#include "support/raw_http.h"
#include "support/servers.h"
#include "support/test_deadline.h"

namespace veldrask::testing {
namespace {

using std::chrono_literals::operator""s;

constexpr std::string_view kName = "sweep.bin";
constexpr std::uint64_t kSize = 200;
constexpr std::string_view kFailedList = "다음 파일은 다운로드하지 못했습니다.\r\n\r\n";

std::string GetRequest(std::string_view target) {
  return "GET " + std::string(target) + " HTTP/1.1\r\nHost: 127.0.0.1\r\n\r\n";
}

// The sweeps below rest on the server ending the exchange exactly where the target says.
TEST(CutServer, EndsTheExchangeAtTheNamedByte) {
  const TestDeadline deadline(30s);
  const auto server = StartMisbehavingServer();
  const std::string reply = FetchReply(server->port(), ScenarioPath("normal", kSize, kName));
  ASSERT_EQ(ParseHttpReply(reply).body, DeterministicBytes(kName, 0, kSize));
  // The request is as long for every offset.
  const std::size_t request = GetRequest(CutTarget(Cut::kClose, 0, "normal", kSize, kName)).size();
  for (const Cut cut : kBothCuts) {
    for (const std::size_t offset :
         {std::size_t{0}, request - 1, request, request + 1, request + 50,
          request + reply.size() - 1, request + reply.size(), request + reply.size() + 1}) {
      SCOPED_TRACE(DescribeCut(cut, offset, request, reply.size()));
      RawExchangeOptions options;
      options.stop_at_complete_reply = false;
      const RawExchange exchange = ExchangeRaw(
          server->port(), GetRequest(CutTarget(cut, offset, "normal", kSize, kName)), options);
      const std::size_t sent = offset < request ? 0 : offset - request;
      EXPECT_EQ(exchange.reply, reply.substr(0, sent));
      // Closing with request bytes unread resets; the kernel decides that, not the server.
      const bool resets =
          offset < request || (cut == Cut::kReset && offset <= request + reply.size());
      EXPECT_EQ(exchange.end, resets ? PeerEnd::kReset : PeerEnd::kClosed);
    }
  }
}

class DownloadCutSweep : public DownloadServerTest {
 protected:
  // Downloads the file once for every offset of scenario's exchange and both cuts, each run
  // in a window of its own; returns what went wrong.
  SweepFindings Sweep(std::string_view scenario) {
    const auto server = StartMisbehavingServer();
    Use(*server);
    const std::string reply = FetchReply(server->port(), ScenarioPath(scenario, kSize, kName));
    const std::string content = DeterministicBytes(kName, 0, kSize);
    if (ParseHttpReply(reply).body != content) throw std::runtime_error("unexpected reply");
    const std::size_t request =
        base.ansi
            .Encode(
                DownloadRequestText(CutTarget(Cut::kClose, 0, scenario, kSize, kName), owner.host))
            .size();
    const std::size_t whole = request + reply.size();

    SweepFindings findings;
    for (const Cut cut : kBothCuts) {
      for (std::size_t offset = 0; offset <= whole + 1; ++offset) {
        const std::string run = DescribeCut(cut, offset, request, reply.size());
        owner.files = {AttachedFile{}};
        owner.Add(CutTarget(cut, offset, scenario, kSize, kName), std::string(kName),
                  static_cast<std::int32_t>(kSize));
        const std::size_t shownBefore = Messages().size();
        {
          const RunDeadline limit(base.loop, base.ui, "frmDNProcess", 5s);
          Run();
          if (limit.Expired()) findings.Add(run, "still running after 5 s");
        }
        const std::vector<headless::MessageRecord> shown(
            Messages().begin() + static_cast<std::ptrdiff_t>(shownBefore), Messages().end());
        Check(run, offset >= whole, content, shown, findings);
        std::filesystem::remove_all(Folder());
      }
    }
    return findings;
  }

  void Check(const std::string& run, bool arrives, const std::string& content,
             const std::vector<headless::MessageRecord>& shown, SweepFindings& findings) {
    const std::string status = Status(1);
    const std::vector<std::string> names = FolderNames();
    if (arrives) {
      if (status != "완료") findings.Add(run, "the row reads " + status + " instead of 완료");
      if (names != std::vector<std::string>{std::string(kName)}) {
        findings.Add(run, "the folder holds " + Join(names));
      } else if (ReadFile(Folder() / kName) != content) {
        findings.Add(run, "the file is not the content");
      }
      if (!shown.empty()) findings.Add(run, "a message: " + shown.front().text);
      return;
    }
    if (status != "실패") findings.Add(run, "the row reads " + status + " instead of 실패");
    if (!names.empty()) findings.Add(run, "the folder holds " + Join(names));
    if (shown.size() != 1 || shown.front().text != std::string(kFailedList) + std::string(kName)) {
      findings.Add(run, shown.empty() ? std::string("no message")
                                      : std::to_string(shown.size()) + " messages, the first " +
                                            shown.front().text);
    }
  }

  static std::string Join(const std::vector<std::string>& names) {
    std::string text = "{";
    for (const std::string& name : names) text += (text.size() > 1 ? ", " : "") + name;
    return text + "}";
  }
};

TEST_F(DownloadCutSweep, ALengthFramedFileArrivesOnlyWhenItsLastByteDid) {
  const SweepFindings findings = Sweep("normal");
  EXPECT_EQ(findings.Count(), 0u) << findings.Report();
}

TEST_F(DownloadCutSweep, AChunkedFileArrivesOnlyWhenItsLastChunkEnded) {
  const SweepFindings findings = Sweep("chunked");
  EXPECT_EQ(findings.Count(), 0u) << findings.Report();
}

}  // namespace
}  // namespace veldrask::testing
