#include "transfer/progress_display.h"

#include <gtest/gtest.h>

#include <functional>
#include <limits>
#include <memory>
#include <string>
#include <vector>

#include "base/error.h"
#include "headless/headless_ui.h"
#include "task_loop.h"
#include "transfer/progress_block.h"

namespace veldrask {
namespace {

using headless::HeadlessForm;

class ProgressDisplayTest : public ::testing::Test {
 protected:
  std::string Caption(std::string_view name) const { return form->Get(name).Caption(); }
  std::int32_t Bar(std::string_view name) const { return form->Get(name).Value(); }

  testing::TaskLoop loop;
  headless::HeadlessUi ui{loop};
  std::unique_ptr<HeadlessForm> form =
      ui.CreateHeadlessForm("frmProcess", "업로드 진행상황", {0, 0, 7035, 4290});
  ProgressBlockWidgets widgets =
      BuildProgressBlock(*form, "fraProgress", "업로드 진행 상황", {0, 0, 7035, 4290});
  ProgressDisplay display{widgets, NumberStyle{}};
};

TEST_F(ProgressDisplayTest, BlockBuildsWithNamesPlacesAndDesignTexts) {
  EXPECT_EQ(Caption("fraProgress"), "업로드 진행 상황");
  EXPECT_EQ(Caption("lblFileName"), "파일명");
  EXPECT_EQ(Caption("lblBitRate"), "150 KB / 초");
  EXPECT_EQ(Caption("lblSendProcess"), "11,123 / 5,000,112 Bytes (12%)");
  EXPECT_EQ(Caption("lblTotalSendProcess"), "11,123 / 5,000,112 Bytes (12%)");
  EXPECT_EQ(Caption("lblRemainTime"), "남은시간 : 3시간 56분 25초");
  EXPECT_EQ(Caption("lblTotalRemainTime"), "남은시간 : 3시간 56분 25초");
  EXPECT_EQ(Caption("lblTotalFiles"), "1 / 12 개");
  EXPECT_EQ(Caption("lblFileNameCaption"), "현재 파일 :");
  EXPECT_EQ(Caption("lblTotalFilesCaption"), "전체 파일 :");
  EXPECT_EQ(form->Get("lblRemainTime").Position().left, 4575);
  EXPECT_EQ(form->Get("lblTotalSendProcess").Position().top, 1605);
  EXPECT_EQ(form->Get("pbTotalProcess").Position(), (Bounds{150, 1860, 6765, 255}));
  EXPECT_EQ(form->Get("pbCurrentProcess").Container(), &widgets.frame);

  // The download window builds the same block under its own frame caption.
  auto other = ui.CreateHeadlessForm("frmDNProcess", "다운로드 진행상황", {0, 0, 7035, 4305});
  BuildProgressBlock(*other, "fraProgress", "다운로드 진행 상황", {0, 0, 7035, 4305});
  EXPECT_EQ(other->Get("fraProgress").Caption(), "다운로드 진행 상황");
  EXPECT_EQ(other->Get("lblBitRate").Caption(), "150 KB / 초");
}

TEST_F(ProgressDisplayTest, FirstTextsAndFileStart) {
  display.InitProgressLabels("a.txt", 1000000, 3, 5000112);
  EXPECT_EQ(Caption("lblFileName"), "a.txt");
  EXPECT_EQ(Caption("lblBitRate"), "0 KB / 초");
  EXPECT_EQ(Caption("lblSendProcess"), "0 / 1,000,000 Bytes (0 %)");
  EXPECT_EQ(Caption("lblRemainTime"), "남은 시간 : 00:00:00");
  EXPECT_EQ(Caption("lblTotalFiles"), "1 / 3 개");
  EXPECT_EQ(Caption("lblTotalSendProcess"), "0 / 5,000,112 Bytes (0 %)");

  display.ShowCurrentFile(2, 3, "b.bin");
  EXPECT_EQ(Caption("lblFileName"), "b.bin");
  EXPECT_EQ(Caption("lblTotalFiles"), "2 / 3 개");

  // A new file restarts the current bar; the total bar keeps what is done.
  display.StartFileBars(2000, 5000112, 1000000);
  EXPECT_EQ(widgets.currentBar.Maximum(), 2000);
  EXPECT_EQ(Bar("pbCurrentProcess"), 0);
  EXPECT_EQ(widgets.totalBar.Maximum(), 5000112);
  EXPECT_EQ(Bar("pbTotalProcess"), 1000000);
}

TEST_F(ProgressDisplayTest, FirstBlockOfAMillionBytes) {
  display.InitProgressLabels("a.txt", 1000000, 1, 1000000);
  display.StartFileBars(1000000, 1000000, 0);
  const std::int32_t totalSent = display.UpdateBlockProgress({.fileSize = 1000000,
                                                              .totalSize = 1000000,
                                                              .currentSent = 8192,
                                                              .totalSent = 0,
                                                              .blockBytes = 8192,
                                                              .elapsedMs = 100});
  EXPECT_EQ(totalSent, 8192);
  EXPECT_EQ(Caption("lblBitRate"), "80.00 KB / 초");
  // nearest(12.207) - nearest(0.1)
  EXPECT_EQ(Caption("lblRemainTime"), "남은 시간 : 00:00:12");
  EXPECT_EQ(Caption("lblSendProcess"), "8,192 / 1,000,000 Bytes (0 %)");
  EXPECT_EQ(Caption("lblTotalRemainTime"), "남은 시간 : 00:00:12");
  EXPECT_EQ(Caption("lblTotalSendProcess"), "8,192 / 1,000,000 Bytes (0 %)");
  EXPECT_EQ(Bar("pbCurrentProcess"), 8192);
  EXPECT_EQ(Bar("pbTotalProcess"), 8192);
}

TEST_F(ProgressDisplayTest, BlockWithinTheTickResolutionMovesOnlyBytesAndBars) {
  display.InitProgressLabels("a.txt", 16384, 1, 16384);
  display.StartFileBars(16384, 16384, 0);
  display.UpdateBlockProgress({.fileSize = 16384,
                               .totalSize = 16384,
                               .currentSent = 8192,
                               .totalSent = 0,
                               .blockBytes = 8192,
                               .elapsedMs = 0});
  EXPECT_EQ(Caption("lblBitRate"), "0 KB / 초");
  EXPECT_EQ(Caption("lblRemainTime"), "남은 시간 : 00:00:00");
  EXPECT_EQ(Caption("lblTotalRemainTime"), "남은 시간 : 00:00:00");
  EXPECT_EQ(Caption("lblSendProcess"), "8,192 / 16,384 Bytes (50 %)");
  EXPECT_EQ(Bar("pbCurrentProcess"), 8192);
}

TEST_F(ProgressDisplayTest, PercentagesAreTruncated) {
  display.StartFileBars(8192, 16384, 0);
  display.UpdateBlockProgress({.fileSize = 8192,
                               .totalSize = 16384,
                               .currentSent = 8191,
                               .totalSent = 0,
                               .blockBytes = 8191,
                               .elapsedMs = 10});
  EXPECT_EQ(Caption("lblSendProcess"), "8,191 / 8,192 Bytes (99 %)");
  EXPECT_EQ(Caption("lblTotalSendProcess"), "8,191 / 16,384 Bytes (49 %)");
  display.UpdateBlockProgress({.fileSize = 8192,
                               .totalSize = 16384,
                               .currentSent = 8192,
                               .totalSent = 8191,
                               .blockBytes = 1,
                               .elapsedMs = 10});
  EXPECT_EQ(Caption("lblSendProcess"), "8,192 / 8,192 Bytes (100 %)");
}

TEST_F(ProgressDisplayTest, LastPartialBlockFinishesTheFileAndLeavesTheTotalEstimate) {
  display.StartFileBars(10000, 50000, 0);
  display.UpdateBlockProgress({.fileSize = 10000,
                               .totalSize = 50000,
                               .currentSent = 8192,
                               .totalSent = 0,
                               .blockBytes = 8192,
                               .elapsedMs = 1000});
  const std::string totalEstimate = Caption("lblTotalRemainTime");
  EXPECT_EQ(totalEstimate, "남은 시간 : 00:00:05");  // nearest(6.1) - nearest(1.0)
  display.UpdateBlockProgress({.fileSize = 10000,
                               .totalSize = 50000,
                               .currentSent = 10000,
                               .totalSent = 8192,
                               .blockBytes = 1808,
                               .elapsedMs = 1000,
                               .lastBlock = true});
  EXPECT_EQ(Caption("lblBitRate"), "1.77 KB / 초");
  EXPECT_EQ(Caption("lblRemainTime"), "남은 시간 : 00:00:00");
  EXPECT_EQ(Caption("lblTotalRemainTime"), totalEstimate);
  EXPECT_EQ(Caption("lblTotalSendProcess"), "10,000 / 50,000 Bytes (20 %)");
}

TEST_F(ProgressDisplayTest, HalvesGoToTheEvenSecondAndNegativeEstimatesAreSkipped) {
  // rate 1000 B/s: nearest(2.5) - nearest(0.5) = 2 - 0.
  display.StartFileBars(2500, 2500, 0);
  display.UpdateBlockProgress({.fileSize = 2500,
                               .totalSize = 2500,
                               .currentSent = 500,
                               .totalSent = 0,
                               .blockBytes = 500,
                               .elapsedMs = 500});
  EXPECT_EQ(Caption("lblRemainTime"), "남은 시간 : 00:00:02");
  EXPECT_EQ(RemainingSeconds(1000, 2000, 1), std::nullopt);
  EXPECT_EQ(RemainingSeconds(3725, 0, 1), 3725);
  EXPECT_EQ(RemainTimeText(3725), "남은 시간 : 01:02:05");
}

TEST_F(ProgressDisplayTest, AbortedBlockLeavesTheBars) {
  display.StartFileBars(8192, 8192, 0);
  display.UpdateBlockProgress({.fileSize = 8192,
                               .totalSize = 8192,
                               .currentSent = 4096,
                               .totalSent = 0,
                               .blockBytes = 4096,
                               .elapsedMs = 5,
                               .aborted = true});
  EXPECT_EQ(Caption("lblSendProcess"), "4,096 / 8,192 Bytes (50 %)");
  EXPECT_EQ(Bar("pbCurrentProcess"), 0);
  EXPECT_EQ(Bar("pbTotalProcess"), 0);
}

TEST_F(ProgressDisplayTest, SlowBlockEstimatePastTheRangeOverflows) {
  try {
    display.UpdateBlockProgress({.fileSize = 2000000000,
                                 .totalSize = 2000000000,
                                 .currentSent = 1,
                                 .totalSent = 0,
                                 .blockBytes = 1,
                                 .elapsedMs = 10000});
    FAIL() << "an estimate of 2e10 seconds fitted 32 bits";
  } catch (const Error& error) {
    EXPECT_EQ(error.Number(), 6);
  }
}

// A label that counts how often its caption is set, whatever the text.
class CountingLabel : public Widget {
 public:
  const std::string& Name() const override { return name_; }
  WidgetKind Kind() const override { return WidgetKind::kLabel; }
  Widget* Container() const override { return nullptr; }
  bool Visible() const override { return true; }
  void SetVisible(bool) override {}
  Bounds Position() const override { return {}; }
  void Move(std::int32_t, std::int32_t) override {}
  const std::string& Caption() const override { return caption_; }
  void SetCaption(std::string_view caption) override {
    caption_ = caption;
    ++sets;
  }
  std::int32_t Value() const override { return 0; }
  void SetValue(std::int32_t) override {}
  void SetOnClick(std::function<void()>) override {}

  int sets = 0;

 private:
  std::string name_ = "lblBitRate";
  std::string caption_;
};

// The label builds its text its own way (integer digits, the text after them kept per total
// and percentage); it must be the text ByteProgressText makes, whatever came before.
TEST_F(ProgressDisplayTest, ByteLabelShowsTheTextsOfByteProgressText) {
  struct LabelCase {
    std::int32_t done;
    std::int32_t shownTotal;
    std::int32_t percentBase;
  };
  const std::int32_t kMax = std::numeric_limits<std::int32_t>::max();
  const std::vector<LabelCase> cases = {
      {0, 0, 1},
      {0, 999, 999},
      {999, 1000, 1000},
      {1000, 1000, 1000},
      {8191, 8192, 8192},
      {8192, 8192, 8192},
      {1, 3, 3},
      {2, 3, 3},
      {29, 100, 100},
      {57, 100, 100},
      {kMax, kMax, kMax},
      {kMax - 1, kMax, kMax},
      {123456789, kMax, kMax},
      {1000000, 999999, 999999},
      {-1000, 1000, 1000},
      {5, 0, 0},
  };
  for (const NumberStyle& style : {NumberStyle{}, NumberStyle{".", ",", 4, true}}) {
    ByteProgressLabel label(widgets.sendProcess, style);
    for (const LabelCase& test : cases) {
      SCOPED_TRACE(std::to_string(test.done) + " of " + std::to_string(test.shownTotal));
      const std::string expected =
          ByteProgressText(test.done, test.shownTotal, test.percentBase, style);
      label.Show(test.done, test.shownTotal, test.percentBase);
      EXPECT_EQ(Caption("lblSendProcess"), expected);
      // A percentage given as text in between (a download of unknown length) is shown as it
      // is and leaves nothing behind for the next computed one.
      label.Show(test.done, test.shownTotal, std::string_view("100"));
      EXPECT_EQ(Caption("lblSendProcess"), expected.substr(0, expected.rfind('(') + 1) + "100 %)");
      label.Show(test.done, test.shownTotal, test.percentBase);
      EXPECT_EQ(Caption("lblSendProcess"), expected);
    }
  }
}

TEST_F(ProgressDisplayTest, UnchangedTextsAreNotSetAgain) {
  CountingLabel rate;
  CountingLabel remain;
  ProgressBlockWidgets withCounters{widgets.frame,
                                    widgets.fileName,
                                    rate,
                                    widgets.sendProcess,
                                    remain,
                                    widgets.totalFiles,
                                    widgets.totalSendProcess,
                                    widgets.totalRemainTime,
                                    widgets.currentBar,
                                    widgets.totalBar};
  ProgressDisplay countedDisplay(withCounters, NumberStyle{});
  countedDisplay.StartFileBars(1 << 20, 1 << 20, 0);
  BlockProgress block{.fileSize = 1 << 20,
                      .totalSize = 1 << 20,
                      .currentSent = 8192,
                      .totalSent = 0,
                      .blockBytes = 8192,
                      .elapsedMs = 100};
  countedDisplay.UpdateBlockProgress(block);
  block.currentSent = 16384;
  block.totalSent = 8192;
  countedDisplay.UpdateBlockProgress(block);
  // Same rate and the same estimate (nearest(12.8) - nearest(0.2)): set once each.
  EXPECT_EQ(rate.Caption(), "80.00 KB / 초");
  EXPECT_EQ(rate.sets, 1);
  EXPECT_EQ(remain.Caption(), "남은 시간 : 00:00:13");
  EXPECT_EQ(remain.sets, 1);
}

}  // namespace
}  // namespace veldrask
