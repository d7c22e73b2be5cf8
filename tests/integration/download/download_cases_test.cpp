// Every case of tests/data/cases that runs on a socket: the download window on the POSIX
// backend against the misbehaving server, which answers with the case's replies and scenarios.

#include <gtest/gtest.h>

#include <chrono>

#include "download_case_run.h"
#include "posix_test_platform.h"
#include "support/deterministic_bytes.h"
#include "support/servers.h"
#include "support/temp_dir.h"
#include "support/test_deadline.h"
#include "wire_case.h"

namespace veldrask::testing {
namespace {

// The port of a server that has stopped: nobody listens there.
int StoppedServersPort() {
  const auto stopped = StartMisbehavingServer();
  const int port = stopped->port();
  stopped->Stop();
  return port;
}

class SocketCases : public ::testing::TestWithParam<std::string> {};

TEST_P(SocketCases, RunAgainstTheMisbehavingServer) {
  const TestDeadline deadline{std::chrono::seconds(90)};
  const WireCase wireCase = LoadWireCase(CasesFolder(), GetParam());
  ASSERT_TRUE(wireCase.RunsOn("socket"));
  ASSERT_TRUE(wireCase.refused.empty()) << "a socket refuses every connection or none";
  const ControlTexts texts(CasesFolder().parent_path() / "control_texts.txt");
  for (const CaseRun& run : wireCase.runs) {
    SCOPED_TRACE(run.Where());
    const auto server = wireCase.refuseAll ? nullptr
                                           : StartMisbehavingServerFor(CasesFolder() / GetParam(),
                                                                       wireCase.serverOptions);
    const int port = server ? server->port() : StoppedServersPort();
    PosixTestPlatform base;
    const TempDir downloads;

    ObservedRun observed = RunDownloadCase(
        {base.Get(), base.ui, downloads / "down", "127.0.0.1", static_cast<std::int16_t>(port)},
        run, NoWords);
    observed.content = [](const std::string& name, std::uint64_t size) {
      return DeterministicBytes(name, 0, static_cast<std::size_t>(size));
    };
    ExpectOutcome(run, observed, NoWords, texts);
  }
}

INSTANTIATE_TEST_SUITE_P(Socket, SocketCases, ::testing::ValuesIn(CasesRunningOn("socket")),
                         CaseTestName);

}  // namespace
}  // namespace veldrask::testing
