#include "control_fixture.h"

namespace veldrask::testing {
namespace {

using ControlProperties = ControlTest;

TEST_F(ControlProperties, MainTitleComposesAndDoubles) {
  UploaderControl& control = CreateNew();
  control.SetMainTitle("자료실");
  const std::string once = "자료실 [초록모래 파일트랜스퍼 Ver 1.8]";
  EXPECT_EQ(control.MainTitle(), once);
  EXPECT_EQ(Caption("MainFrame"), once);
  EXPECT_EQ(Caption("DNMainFrame"), once);
  control.SetMainTitle(control.MainTitle());
  EXPECT_EQ(control.MainTitle(), once + " [초록모래 파일트랜스퍼 Ver 1.8]");
  EXPECT_EQ(host_.changes.back(), "MainTitle");
}

TEST_F(ControlProperties, MaxFileSizeSetsTheAllowanceOrOverflowsAfterStoring) {
  UploaderControl& control = CreateNew();
  control.SetMaxFileSize(0);
  EXPECT_EQ(control.RemainSize(), 0);
  EXPECT_EQ(Caption("lblRemainFileSize"), "0 KB");
  control.SetMaxFileSize(2097151);
  EXPECT_EQ(control.RemainSize(), 2147482624);
  EXPECT_EQ(Caption("lblRemainFileSize"), "2,147,482,624 KB");
  control.SetMaxFileSize(-2097152);
  EXPECT_EQ(control.RemainSize(), -2147483647 - 1);

  control.SetMaxFileSize(5);
  host_.changes.clear();
  EXPECT_EQ(ErrorOf([&] { control.SetMaxFileSize(2097152); }), 6);
  EXPECT_EQ(control.MaxFileSize(), 2097152);  // stored and notified before the overflow
  EXPECT_EQ(host_.changes, std::vector<std::string>{"MaxFileSize"});
  EXPECT_EQ(control.RemainSize(), 5120);
  EXPECT_EQ(Caption("lblRemainFileSize"), "5,120 KB");
  EXPECT_EQ(ErrorOf([&] { control.SetMaxFileSize(-2097153); }), 6);
}

TEST_F(ControlProperties, MaxFileCountCaptionRestartsAtZero) {
  UploaderControl& control = CreateNew();
  control.SetMaxFileCount(5);
  EXPECT_EQ(Caption("lblTotalFileCount"), "0 개 (최대 5 개)");
  control.SetMaxFileCount(-3);  // stored without validation
  EXPECT_EQ(control.MaxFileCount(), -3);
  EXPECT_EQ(Caption("lblTotalFileCount"), "0 개 (최대 -3 개)");
}

TEST_F(ControlProperties, WritersNotifyByNameExceptTheReply) {
  UploaderControl& control = CreateNew();
  host_.changes.clear();
  control.SetHostName("example.com");
  control.SetActionURL("/up.php");
  control.SetReturnURL("/done.html");
  control.SetServerPort(8080);
  control.SetFilePrefix("");
  control.SetPaddingZero("1");
  control.SetExcludeFileExtension("exe|dll");
  control.SetBufferSize(0);
  control.SetUnitFileSize(-1);
  control.SetHTTPResponseData("reply");
  EXPECT_EQ(host_.changes,
            (std::vector<std::string>{"HostName", "ActionURL", "ReturnURL", "ServerPort",
                                      "FilePrefix", "PaddingZero", "ExcludeFileExtension",
                                      "BufferSize", "UnitFileSize"}));
  EXPECT_EQ(control.BufferSize(), 0);
  EXPECT_EQ(control.UnitFileSize(), -1);
  EXPECT_EQ(control.FilePrefix(), "");
}

}  // namespace
}  // namespace veldrask::testing
