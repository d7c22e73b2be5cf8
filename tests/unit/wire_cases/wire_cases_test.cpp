// Every case of tests/data/cases that runs on the scripted network, run as its file says.

#include <gtest/gtest.h>

#include <memory>

#include "download_case_run.h"
#include "scripted_replies.h"
#include "test_platform.h"
#include "upload_case_run.h"
#include "wire_case.h"

namespace veldrask::testing {
namespace {

class WireCases : public ::testing::TestWithParam<std::string> {};

TEST_P(WireCases, RunAsTheFileSays) {
  const WireCase wireCase = LoadWireCase(CasesFolder(), GetParam());
  ASSERT_TRUE(wireCase.RunsOn("scripted"));
  const ControlTexts texts(CasesFolder().parent_path() / "control_texts.txt");
  for (const CaseRun& run : wireCase.runs) {
    SCOPED_TRACE(run.Where());
    TestPlatform base;
    const CaseWords words = [&base](std::string_view word, std::string_view argument) {
      if (word == "cp949") return base.ansi.Encode(argument);
      return NoWords(word, argument);
    };
    std::unique_ptr<UploadCaseRun> upload;
    if (!run.IsDownload()) upload = std::make_unique<UploadCaseRun>(base, run, words);
    const CaseWords runWords = upload ? upload->Words() : words;
    const std::string form = run.IsDownload() ? "frmDNProcess" : "frmProcess";
    ServeCase(base.network, wireCase, runWords, [&base, form] { base.ui.PostUserClose(form); });
    const std::vector<ExpectedWire> wires = ExpectedWires(run, runWords);
    if (!wires.empty()) base.network.answerAfterBytes = wires[0].answerAt;

    ObservedRun observed =
        upload ? upload->Run()
               : RunDownloadCase({base.Get(), base.ui, base.Scratch() / "down", {}, {}}, run,
                                 runWords);
    observed.network = &base.network;

    if (!wires.empty()) ExpectSent(base.network.sent, wires, run.Where());
    ExpectOutcome(run, observed, runWords, texts);
  }
}

INSTANTIATE_TEST_SUITE_P(Scripted, WireCases, ::testing::ValuesIn(CasesRunningOn("scripted")),
                         CaseTestName);

}  // namespace
}  // namespace veldrask::testing
