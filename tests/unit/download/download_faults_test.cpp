// Faults of a download session: whatever goes wrong, the folder holds complete files only.

#include <gtest/gtest.h>

#include "base/text.h"
#include "window_fixture.h"

namespace veldrask::testing {
namespace {

using Names = std::vector<std::string>;
using Steps = std::vector<ServerStep>;

constexpr std::string_view kFailedList = "다음 파일은 다운로드하지 못했습니다.\r\n\r\n";

struct FaultCase {
  const char* label;
  Steps steps;
};

class BrokenResponses : public DownloadWindowTest, public ::testing::WithParamInterface<FaultCase> {
 protected:
  void SetUp() override {
    owner.Add("/broken.bin", "broken.bin", 10);
    owner.Add("/next.bin", "next.bin", 4);
    network.SetServer([](const std::string& request) {
      if (Contains(request, "/broken.bin")) return GetParam().steps;
      return Serve("next");
    });
  }
};

TEST_P(BrokenResponses, FailTheirFileAndTheSessionGoesOn) {
  Run();

  EXPECT_EQ(FolderNames(), (Names{"next.bin"}));
  EXPECT_EQ(Status(1), "실패");
  EXPECT_EQ(Status(2), "완료");
  ASSERT_EQ(ui.Messages().size(), 1U);
  EXPECT_EQ(ui.Messages()[0].text, std::string(kFailedList) + "broken.bin");
}

TEST_P(BrokenResponses, LeaveTheFileThatWasThereAsItWas) {
  Put("broken.bin", "precious");
  owner.overwrite = true;

  Run();

  EXPECT_EQ(FolderNames(), (Names{"broken.bin", "next.bin"}));
  EXPECT_EQ(Content("broken.bin"), "precious");
}

TEST_P(BrokenResponses, LeaveNoPlaceholderForANumberedName) {
  Put("broken.bin", "precious");

  Run();

  EXPECT_EQ(FolderNames(), (Names{"broken.bin", "next.bin"}));
  EXPECT_EQ(Rows().RowText(1), "broken[1].bin");
}

INSTANTIATE_TEST_SUITE_P(
    DownloadWindowTest, BrokenResponses,
    ::testing::Values(
        FaultCase{"ClosedBeforeTheLength",
                  {Data("HTTP/1.1 200 OK\r\nContent-Length: 10\r\n\r\nhalf"), PeerClose()}},
        FaultCase{"ResetMidBody",
                  {Data("HTTP/1.1 200 OK\r\nContent-Length: 10\r\n\r\nhalf"), PeerReset()}},
        FaultCase{"ClosedBeforeTheHead", {Data("HTTP/1.1 200 OK\r\nContent-"), PeerClose()}},
        FaultCase{"ClosedWithoutAnswer", {PeerClose()}},
        FaultCase{
            "ChunkedCutShort",
            {Data("HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n5\r\nhel"), PeerClose()}},
        FaultCase{"NotHttp", {Data("SSH-2.0-OpenSSH\r\n\r\n"), PeerClose()}},
        FaultCase{"BadLength",
                  {Data("HTTP/1.1 200 OK\r\nContent-Length: -1\r\n\r\n0123456789"), PeerClose()}},
        FaultCase{"LengthBeyond31Bits",
                  {Data("HTTP/1.1 200 OK\r\nContent-Length: 2147483648\r\n\r\n0123"), PeerClose()}},
        FaultCase{
            "LengthBeyond32Bits",
            {Data("HTTP/1.1 200 OK\r\nContent-Length: 4294967296\r\n\r\n0123"), PeerClose()}}),
    [](const ::testing::TestParamInfo<FaultCase>& param) { return param.param.label; });

TEST_F(DownloadWindowTest, ARefusedConnectionFailsItsFileOnly) {
  owner.Add("/a.txt", "a.txt", 1);
  owner.Add("/b.txt", "b.txt", 1);
  owner.Add("/c.txt", "c.txt", 1);
  network.refused = {1, 3};
  network.SetServer([](const std::string&) { return Serve("B"); });

  Run();

  EXPECT_EQ(FolderNames(), (Names{"b.txt"}));
  EXPECT_EQ(Status(1), "실패");
  EXPECT_EQ(Status(2), "완료");
  EXPECT_EQ(Status(3), "실패");
  ASSERT_EQ(ui.Messages().size(), 1U);
  EXPECT_EQ(ui.Messages()[0].text, std::string(kFailedList) + "a.txt\r\nc.txt");
}

TEST_F(DownloadWindowTest, ClosingTheWindowStopsTheSessionAndDropsTheUnfinishedFile) {
  Put("a.txt", "precious");
  owner.overwrite = true;
  owner.Add("/a.txt", "a.txt", 10);
  owner.Add("/b.txt", "b.txt", 1);
  network.SetServer([this](const std::string&) {
    return Steps{Data("HTTP/1.1 200 OK\r\nContent-Length: 10\r\n\r\nhalf"),
                 Call([this] { ui.PostUserClose("frmDNProcess"); })};
  });

  const headless::HeadlessForm& form = Run();

  EXPECT_FALSE(form.IsOpen());
  EXPECT_EQ(FolderNames(), (Names{"a.txt"}));
  EXPECT_EQ(Content("a.txt"), "precious");
  EXPECT_EQ(network.connections, 1);
  EXPECT_EQ(Status(1), "다운중");
  EXPECT_EQ(Status(2), "대기");
  EXPECT_TRUE(ui.Messages().empty());
}

}  // namespace
}  // namespace veldrask::testing
