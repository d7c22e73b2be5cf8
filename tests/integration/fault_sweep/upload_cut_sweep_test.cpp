// An upload cut at every byte of its exchange, by a close and by a reset: the window closes
// every time, the owner receives exactly one reply, and that reply holds what arrived of the
// server's answer and nothing else.

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <memory>
#include <string>
#include <vector>

#include "integration/fault_sweep/sweep_support.h"
#include "integration/upload/upload_session_fixture.h"
#include "support/files.h"
#include "support/servers.h"

namespace veldrask::upload_test {
namespace {

using std::chrono_literals::operator""s;
using testing::Cut;

constexpr std::string_view kReplyName = "reply.bin";
constexpr std::uint64_t kReplySize = 200;

class UploadCutSweep : public UploadSessionTest {
 protected:
  void SetUp() override {
    file_ = dir_ / "sweep.txt";
    testing::WriteDeterministicFile(file_, 100);
    server_ = testing::StartMisbehavingServer();
    reply_ = testing::FetchReply(server_->port(),
                                 testing::ScenarioPath("normal", kReplySize, kReplyName));
    Compose(Cut::kClose, 0);
    request_ = ExpectedWire().size();
  }

  void Compose(Cut cut, std::size_t offset) {
    UploadSessionTest::Compose({file_}, {{"title", "절단 시험"}},
                               testing::CutTarget(cut, offset, "normal", kReplySize, kReplyName));
  }

  // One upload whose exchange the server cuts at offset; what the owner and the user got.
  struct CutRun {
    std::string name;
    SessionOutcome outcome;
    std::vector<std::string> responses;
  };
  CutRun RunCut(Cut cut, std::size_t offset, testing::SweepFindings& findings) {
    CutRun run;
    run.name = testing::DescribeCut(cut, offset, request_, reply_.size());
    Compose(cut, offset);
    owner_.responses.clear();
    {
      const testing::RunDeadline limit(posix_.Loop(), ui_, "frmProcess", 5s);
      run.outcome = Run(server_->port());
      if (limit.Expired()) findings.Add(run.name, "still running after 5 s");
    }
    run.responses = owner_.responses;
    return run;
  }

  // The reply as the owner stores it when only its first bytes came: the body, or, while the
  // head has not ended, everything that came.
  std::string TextOf(std::string_view arrived) const {
    const std::size_t blank = arrived.find("\r\n\r\n");
    return platform_.ansi.Decode(blank == std::string_view::npos ? arrived
                                                                 : arrived.substr(blank + 4));
  }

  static void CheckStoredReply(const CutRun& run, const std::string& expected,
                               testing::SweepFindings& findings) {
    if (run.responses.size() != 1) {
      findings.Add(run.name, std::to_string(run.responses.size()) + " replies stored");
    } else if (run.responses[0] != expected) {
      findings.Add(run.name, "stored " + std::to_string(run.responses[0].size()) +
                                 " bytes of reply instead of " + std::to_string(expected.size()) +
                                 ": " + run.responses[0].substr(0, 40));
    }
  }

  static void CheckSocketMessage(const CutRun& run, testing::SweepFindings& findings) {
    const headless::MessageRecord& message = run.outcome.messages.front();
    const bool socketError =
        message.text.starts_with("10053:") || message.text.starts_with("10054:");
    if (!socketError || message.icon != MessageIcon::kCritical || message.caption != kMainTitle) {
      findings.Add(run.name, "the message " + message.text);
    }
  }

  std::filesystem::path file_;
  std::unique_ptr<testing::ServerProcess> server_;
  std::string reply_;
  std::size_t request_ = 0;
};

TEST_F(UploadCutSweep, ACutRequestEndsTheRunWithAnEmptyReply) {
  testing::SweepFindings findings;
  for (const Cut cut : testing::kBothCuts) {
    for (std::size_t offset = 0; offset < request_; ++offset) {
      const CutRun run = RunCut(cut, offset, findings);
      // How far the file got before the connection failed depends on when the client learns
      // of it; only that it started or ended is certain.
      const std::vector<std::string>& statuses = run.outcome.statuses;
      if (statuses.size() != 1 ||
          (statuses[0] != "대기" && statuses[0] != "전송중" && statuses[0] != "완료")) {
        findings.Add(run.name, "the rows read " + (statuses.empty() ? "nothing" : statuses[0]));
      }
      CheckStoredReply(run, "", findings);
      // A plain close of a connection that still had bytes to take is not reported; a reset
      // or a broken pipe is, once.
      if (run.outcome.messages.size() > 1) findings.Add(run.name, "more than one message");
      if (run.outcome.messages.size() == 1) CheckSocketMessage(run, findings);
    }
  }
  EXPECT_EQ(findings.Count(), 0u) << findings.Report();
}

TEST_F(UploadCutSweep, ACutReplyKeepsWhatArrivedOfIt) {
  testing::SweepFindings findings;
  for (const Cut cut : testing::kBothCuts) {
    for (std::size_t offset = request_; offset <= request_ + reply_.size() + 1; ++offset) {
      const CutRun run = RunCut(cut, offset, findings);
      const std::size_t arrived = std::min(offset - request_, reply_.size());
      if (run.outcome.statuses != std::vector<std::string>{"완료"}) {
        findings.Add(run.name,
                     "the rows read " + (run.outcome.statuses.empty() ? std::string("nothing")
                                                                      : run.outcome.statuses[0]));
      }
      CheckStoredReply(run, TextOf(std::string_view(reply_).substr(0, arrived)), findings);
      // A reset before the reply is whole is the run's failure; a close, or a reset after the
      // whole reply, ends it as the server meant.
      const bool failed =
          cut == Cut::kReset && arrived < reply_.size() && offset <= request_ + reply_.size();
      if (run.outcome.messages.size() != (failed ? 1u : 0u)) {
        findings.Add(run.name, std::to_string(run.outcome.messages.size()) + " messages");
      } else if (failed) {
        CheckSocketMessage(run, findings);
      }
    }
  }
  EXPECT_EQ(findings.Count(), 0u) << findings.Report();
}

}  // namespace
}  // namespace veldrask::upload_test
