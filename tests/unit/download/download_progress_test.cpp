// The download window's labels and bars as arrivals come in, on a manual clock.

#include <gtest/gtest.h>

#include <map>

#include "window_fixture.h"

namespace veldrask::testing {
namespace {

using Steps = std::vector<ServerStep>;
using Snapshot = std::map<std::string, std::string>;

class DownloadProgressTest : public DownloadWindowTest {
 protected:
  // The captions of the progress labels now.
  Snapshot Labels() {
    Snapshot labels;
    for (const char* name : {"lblFileName", "lblBitRate", "lblSendProcess", "lblRemainTime",
                             "lblTotalFiles", "lblTotalSendProcess", "lblTotalRemainTime"}) {
      labels[name] = Caption(name);
    }
    return labels;
  }
  std::int32_t Bar(std::string_view name) { return ui.FindForm("frmDNProcess")->Get(name).Value(); }
  ServerStep Look(Snapshot& into) {
    return Call([this, &into] { into = Labels(); });
  }

  static std::string Body(std::size_t size) { return std::string(size, 'b'); }
};

TEST_F(DownloadProgressTest, ActivationListsTheFilesAndShowsTheFirstTexts) {
  owner.Add("/docs/%B0%A1.hwp", "가.hwp", 1000000);
  owner.Add("/docs/readme", "readme", 24);
  Snapshot before;
  std::string caption;
  network.SetServer([&](const std::string& request) {
    if (!Contains(request, "hwp")) return Serve(Body(24));
    return Steps{Look(before), Call([&] { caption = ui.FindForm("frmDNProcess")->Caption(); }),
                 PeerReset()};
  });

  Run();

  EXPECT_EQ(caption, "다운로드 진행상황 [초록모래 파일트랜스퍼 Ver 1.8]");
  EXPECT_EQ(before, (Snapshot{{"lblFileName", "가.hwp"},
                              {"lblBitRate", "0 KB / 초"},
                              {"lblSendProcess", "0 / 1,000,000 Bytes (0 %)"},
                              {"lblRemainTime", "남은 시간 : 00:00:00"},
                              {"lblTotalFiles", "1 / 2 개"},
                              {"lblTotalSendProcess", "0 / 1,000,024 Bytes (0 %)"},
                              {"lblTotalRemainTime", "남은 시간 : 00:00:00"}}));
  const headless::HeadlessListView& rows = Rows();
  ASSERT_EQ(rows.ColumnCount(), 3);
  EXPECT_EQ(rows.Column(3).text, "상태");
  EXPECT_EQ(rows.Column(3).alignment, Alignment::kCenter);
  ASSERT_EQ(rows.RowCount(), 2);
  EXPECT_EQ(rows.RowKey(1), "/docs/%B0%A1.hwp");
  EXPECT_EQ(rows.RowText(1), "가.hwp");
  EXPECT_EQ(rows.SubItem(1, 1), "1,000,000");
  EXPECT_EQ(rows.SmallIconKey(1), "hwp");
  EXPECT_EQ(rows.IconKey(2), "__NONE__");
  EXPECT_EQ(rows.ToolTip(2), "readme");
}

TEST_F(DownloadProgressTest, ArrivalsMoveTheLabelsAndSameTickArrivalsKeepRateAndTimes) {
  owner.Add("/big.bin", "big.bin", 1000000);
  owner.Add("/small.bin", "small.bin", 8);
  Snapshot afterHead;
  Snapshot timed;
  Snapshot sameTick;
  std::int32_t currentBar = -1;
  std::int32_t totalBar = -1;
  network.SetServer([&](const std::string& request) {
    if (Contains(request, "small")) return Serve(Body(8));
    const std::string head = "HTTP/1.1 200 OK\r\nContent-Length: 1000000\r\n\r\n";
    return Steps{Data(head + Body(8192 - head.size()), 0), Look(afterHead),
                 // 8192 bytes in 100 ms: 80 KB/s, so 12 s for the file and 12 s for the total.
                 Data(Body(8192), 100), Look(timed), Call([&] {
                   currentBar = Bar("pbCurrentProcess");
                   totalBar = Bar("pbTotalProcess");
                 }),
                 Data(Body(8192), 0), Look(sameTick),
                 Data(Body(1000000 - 3 * 8192 + head.size()), 50)};
  });

  Run();

  EXPECT_EQ(afterHead.at("lblFileName"), "big.bin");
  EXPECT_EQ(afterHead.at("lblTotalFiles"), "1 / 2 개");
  // The first arrival came in the tick of the request: no rate yet.
  EXPECT_EQ(afterHead.at("lblBitRate"), "0 KB / 초");
  EXPECT_EQ(afterHead.at("lblSendProcess"), "8,148 / 1,000,000 Bytes (0 %)");

  EXPECT_EQ(timed.at("lblBitRate"), "80.00 KB / 초");
  EXPECT_EQ(timed.at("lblSendProcess"), "16,340 / 1,000,000 Bytes (1 %)");
  EXPECT_EQ(timed.at("lblRemainTime"), "남은 시간 : 00:00:12");
  EXPECT_EQ(timed.at("lblTotalSendProcess"), "16,340 / 1,000,008 Bytes (1 %)");
  EXPECT_EQ(timed.at("lblTotalRemainTime"), "남은 시간 : 00:00:12");
  EXPECT_EQ(currentBar, 16340);
  EXPECT_EQ(totalBar, 16340);

  EXPECT_EQ(sameTick.at("lblBitRate"), timed.at("lblBitRate"));
  EXPECT_EQ(sameTick.at("lblRemainTime"), timed.at("lblRemainTime"));
  EXPECT_EQ(sameTick.at("lblTotalRemainTime"), timed.at("lblTotalRemainTime"));
  EXPECT_EQ(sameTick.at("lblSendProcess"), "24,532 / 1,000,000 Bytes (2 %)");

  EXPECT_EQ(Caption("lblTotalFiles"), "2 / 2 개");
  EXPECT_EQ(Caption("lblSendProcess"), "8 / 8 Bytes (100 %)");
  EXPECT_EQ(Caption("lblTotalSendProcess"), "1,000,008 / 1,000,008 Bytes (100 %)");
  EXPECT_EQ(Content("big.bin").size(), 1000000U);
}

TEST_F(DownloadProgressTest, MoreThanAnnouncedKeepsTheBarsInRange) {
  owner.Add("/grown.bin", "grown.bin", 4);
  network.SetServer([](const std::string&) {
    return Steps{Data("HTTP/1.1 200 OK\r\n\r\n" + Body(10)), PeerClose()};
  });

  Run();

  EXPECT_EQ(Content("grown.bin"), Body(10));
  EXPECT_EQ(Caption("lblSendProcess"), "10 / 4 Bytes (250 %)");
  EXPECT_EQ(Bar("pbCurrentProcess"), 4);
  EXPECT_EQ(Bar("pbTotalProcess"), 4);
}

}  // namespace
}  // namespace veldrask::testing
