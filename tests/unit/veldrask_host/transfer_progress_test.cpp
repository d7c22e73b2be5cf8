// Drawing a transfer window: finished rows once each, the live block no more often than the
// throttle allows however often the labels change.
#include "transfer_progress.h"

#include <gtest/gtest.h>

#include <memory>
#include <sstream>
#include <string>

#include "console.h"
#include "headless/list_view.h"
#include "host_ui.h"
#include "posix/poll_event_loop.h"
#include "transfer/progress_block.h"

namespace veldrask::host {
namespace {

class SteppedClock : public Clock {
 public:
  std::uint32_t TickCount() override { return now; }
  std::uint32_t now = 5000;
};

std::size_t Count(const std::string& text, std::string_view part) {
  std::size_t count = 0;
  for (std::size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) {
    ++count;
  }
  return count;
}

class TransferProgressTest : public ::testing::Test {
 protected:
  void Open(bool terminal) {
    console_ = std::make_unique<Console>(out_, terminal, [] { return std::size_t{200}; });
    form_ =
        ui_.CreateHeadlessForm(std::string(kUploadWindow), "업로드 진행상황", {0, 0, 7035, 4290});
    const ProgressBlockWidgets block =
        BuildProgressBlock(*form_, "fraProgress", "", {0, 0, 7035, 4290});
    widgets_ = std::make_unique<ProgressBlockWidgets>(block);
    list_ = &static_cast<headless::HeadlessListView&>(
        form_->AddListView("UploadFileList", &block.frame, kProgressFileListBounds));
    for (const char* name : {"/d/a.txt", "/d/b.txt", "/d/c.txt"}) {
      const std::int32_t row = *list_->AddRow(0, name, name);
      list_->SetSubItem(row, 1, "1,024");
      list_->SetSubItem(row, 2, "대기");
    }
    progress_ = std::make_unique<TransferProgress>(ui_, *form_, *console_, clock_);
  }

  posix::PollEventLoop loop_;
  HostUi ui_{loop_};
  SteppedClock clock_;
  std::ostringstream out_;
  std::unique_ptr<Console> console_;
  std::unique_ptr<headless::HeadlessForm> form_;
  std::unique_ptr<ProgressBlockWidgets> widgets_;
  headless::HeadlessListView* list_ = nullptr;
  std::unique_ptr<TransferProgress> progress_;
};

TEST_F(TransferProgressTest, ElsewhereEachFinishedRowIsOneLineInListOrder) {
  Open(false);
  widgets_->sendProcess.SetCaption("512 / 1,024 Bytes (50 %)");
  EXPECT_EQ(out_.str(), "") << "no live block off a terminal";

  list_->SetSubItem(1, 2, "완료");
  list_->SetSubItem(3, 2, "완료");  // not reported before row 2 has finished
  widgets_->fileName.SetCaption("b.txt");
  EXPECT_EQ(out_.str(), "완료  /d/a.txt (1,024 Bytes)\n");

  list_->SetSubItem(2, 2, "실패");
  widgets_->currentBar.SetValue(10);
  widgets_->currentBar.SetValue(20);
  progress_->Finish();
  EXPECT_EQ(
      out_.str(),
      "완료  /d/a.txt (1,024 Bytes)\n실패  /d/b.txt (1,024 Bytes)\n완료  /d/c.txt (1,024 Bytes)\n");
}

TEST_F(TransferProgressTest, OnATerminalTheBlockIsRedrawnAtMostEveryTenthOfASecond) {
  Open(true);
  EXPECT_EQ(out_.str(), "업로드 진행상황\n") << "the window's caption heads the drawing";
  widgets_->currentBar.SetMaximum(2000);
  for (std::int32_t value = 1; value <= 1500; ++value) {
    widgets_->currentBar.SetValue(value);
    if (value % 10 == 0) clock_.now += 1;
  }
  EXPECT_EQ(Count(out_.str(), "\x1b[J"), 1u) << "1,500 changes over 150 ms draw once";

  clock_.now += 30;
  widgets_->bitRate.SetCaption("12.00 KB / 초");
  EXPECT_EQ(Count(out_.str(), "\x1b[J"), 1u);
  list_->SetSubItem(1, 2, "완료");
  widgets_->fileName.SetCaption("b.txt");
  EXPECT_EQ(Count(out_.str(), "\x1b[J"), 3u) << "a finished row is printed above a fresh block";
  EXPECT_NE(out_.str().find("완료  /d/a.txt (1,024 Bytes)\n"), std::string::npos);

  progress_->Finish();
  const std::string finalBlock = out_.str().substr(out_.str().rfind("\x1b[6A"));
  EXPECT_NE(finalBlock.find("현재 파일 : b.txt   전송 속도 : 12.00 KB / 초"), std::string::npos)
      << finalBlock;
  EXPECT_NE(finalBlock.find("[#"), std::string::npos);
}

TEST_F(TransferProgressTest, TheObserversGoWithTheDrawing) {
  Open(false);
  progress_.reset();
  list_->SetSubItem(1, 2, "완료");
  widgets_->fileName.SetCaption("b.txt");
  EXPECT_EQ(out_.str(), "");
}

}  // namespace
}  // namespace veldrask::host
