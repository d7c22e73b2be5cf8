#include "common/engine_title.h"
#include "control_fixture.h"

namespace veldrask::testing {
namespace {

using ControlStartup = ControlTest;

TEST_F(ControlStartup, NewInstanceShowsTheUploadScreenWithStartValues) {
  UploaderControl& control = CreateNew();
  EXPECT_EQ(control.MaxFileCount(), 1);
  EXPECT_EQ(control.MaxFileSize(), 1);
  EXPECT_EQ(control.RemainSize(), 1024);
  EXPECT_EQ(control.UnitFileSize(), 0);
  EXPECT_EQ(control.ServerPort(), 80);
  EXPECT_EQ(control.BufferSize(), 8192);
  EXPECT_EQ(control.FilePrefix(), "file");
  EXPECT_EQ(control.PaddingZero(), "0");
  EXPECT_EQ(control.UpDownload(), "0");
  EXPECT_EQ(control.HostName(), "");
  EXPECT_EQ(control.ActionURL(), "");
  EXPECT_EQ(control.ReturnURL(), "");
  EXPECT_EQ(control.ExcludeFileExtension(), "");
  EXPECT_EQ(control.MainTitle(), control.EngTitleVer());
  EXPECT_EQ(control.EngTitleVer(), "초록모래 파일트랜스퍼 Ver 1.8");

  EXPECT_EQ(Caption("lblTotalFileCount"), "0 개 (최대 1 개)");
  EXPECT_EQ(Caption("lblRemainFileSize"), "1,024 KB");
  EXPECT_EQ(Caption("lblTotalFileSize"), " 0 KB");
  EXPECT_EQ(Caption("MainFrame"), control.EngTitleVer());
  EXPECT_EQ(Caption("DNMainFrame"), control.EngTitleVer());
  EXPECT_TRUE(IsVisible("MainFrame"));
  EXPECT_TRUE(IsVisible("UploadFileList"));
  EXPECT_FALSE(IsVisible("DNMainFrame"));
  EXPECT_FALSE(IsVisible("chkDupFile"));
  // The initialisation assigns every property but MainTitle.
  EXPECT_EQ(host_.changes, (std::vector<std::string>{
                               "MaxFileCount", "MaxFileSize", "UnitFileSize", "HostName",
                               "ActionURL", "ReturnURL", "ServerPort", "FilePrefix", "PaddingZero",
                               "BufferSize", "UpDownload", "ExcludeFileExtension", "Charset"}));
}

TEST_F(ControlStartup, BuildsBothScreensAsDesigned) {
  Create();
  auto& form = Surface();
  EXPECT_EQ(form.Get("cmdAdd").Caption(), "추가");
  EXPECT_EQ(form.Get("cmdAdd").Position(), (Bounds{7875, 1725, 1530, 435}));
  EXPECT_EQ(form.Get("OptReport").Value(), 1);
  EXPECT_EQ(form.Get("OptLargeIcon").Value(), 0);
  EXPECT_EQ(form.Get("OptSmallIcon").Container(), form.Find("TypeFrame"));
  EXPECT_EQ(form.Get("TypeFrame").Container(), form.Find("MainFrame"));
  EXPECT_EQ(form.Get("lblDNFolder").Caption(), "다운로드 폴더 : ");
  EXPECT_EQ(form.Get("chkDupFile").Caption(), "덮어쓰기");
  EXPECT_EQ(form.Get("chkDupFile").Value(), 0);
  EXPECT_EQ(form.Get("DNMainFrame").Position(), (Bounds{0, 3675, 7905, 2595}));
  EXPECT_EQ(form.Get("LargePicture").Position(), (Bounds{4905, 2820, 480, 480}));
  EXPECT_EQ(form.Get<headless::HeadlessImageList>("SmallIconImageList").ImageSize(), 16);
  EXPECT_EQ(form.Get<headless::HeadlessFileDialog>("ComOpen").MaxFileSize(), 1024);
  // Before the first write of UpDownload both frames stay as designed.
  EXPECT_TRUE(form.Get("MainFrame").Visible());
  EXPECT_TRUE(form.Get("DNMainFrame").Visible());

  for (const char* name : {"UploadFileList", "DownloadFileList"}) {
    auto& list = form.Get<headless::HeadlessListView>(name);
    ASSERT_EQ(list.ColumnCount(), 3);
    EXPECT_EQ(list.Column(1).key, "filename");
    EXPECT_EQ(list.Column(2).key, "fiesize");
    EXPECT_EQ(list.Column(2).text, "파일 크기(Bytes)");
    EXPECT_EQ(list.Column(2).alignment, Alignment::kRight);
    EXPECT_EQ(list.Column(3).key, "fietype");
    EXPECT_EQ(list.Column(3).width, 1700);
    EXPECT_EQ(list.View(), ListViewMode::kReport);
    EXPECT_FALSE(list.LabelEditAutomatic());
    EXPECT_EQ(list.LargeImages(), form.Find("LargeIconImageList"));
    EXPECT_EQ(list.SmallImages(), form.Find("SmallIconImageList"));
  }
  EXPECT_TRUE(form.Get<headless::HeadlessListView>("DownloadFileList").CheckBoxes());
  EXPECT_TRUE(host_.changes.empty());  // start-up uses no writer
}

TEST_F(ControlStartup, BoundaryIsThirtyTwoDigitsAndLetters) {
  const std::string boundary = Create().Boundary();
  ASSERT_EQ(boundary.size(), 32u);
  for (const char c : boundary) EXPECT_TRUE(std::isalnum(static_cast<unsigned char>(c))) << c;
  platform_.clock.Advance(1);
  UploaderControl other(platform_.Get(), host_);
  EXPECT_NE(other.Boundary(), boundary);
}

TEST_F(ControlStartup, ScreenSwitchHidesAndShowsInOrder) {
  UploaderControl& control = CreateNew();
  platform_.ui.Recorder().StartLog();
  control.SetUpDownload("1");
  const std::vector<std::string> expected = {"hide UploadFileList",      "hide MainFrame",
                                             "hide TypeFrame",           "hide OptLargeIcon",
                                             "hide OptSmallIcon",        "hide OptList",
                                             "hide OptReport",           "hide cmdAdd",
                                             "hide cmdDelete",           "hide shapeFileCount",
                                             "hide shapeCurrFileSize",   "hide shapeRemainFileSize",
                                             "hide lblFileCount",        "hide lblTotalFileCount",
                                             "hide lblFileSize",         "hide lblTotalFileSize",
                                             "hide lblRFileSize",        "hide lblRemainFileSize",
                                             "move DNMainFrame 0 0",     "show DownloadFileList",
                                             "show DNMainFrame",         "show cmdDownload",
                                             "show cmdSelFolder",        "show shapeDNFileCount",
                                             "show shapeDNFileSize",     "show shapeDupFile",
                                             "show chkDupFile",          "show lblDNFileCount",
                                             "show lblDNTotalFileCount", "show lblDNFileSize",
                                             "show lblDNTotalFileSize",  "show lblDNFolder",
                                             "show lblDownloadFolder"};
  EXPECT_EQ(platform_.ui.Recorder().Log(), expected);

  control.SetUpDownload("0");
  EXPECT_TRUE(IsVisible("MainFrame"));
  EXPECT_FALSE(IsVisible("DNMainFrame"));
  EXPECT_EQ(Surface().Get("DNMainFrame").Position().top, 0);  // keeps its moved place
}

TEST_F(ControlStartup, OnlyExactlyZeroSelectsTheUploadScreen) {
  UploaderControl& control = CreateNew();
  for (const char* value : {"1", "", " 0", "0 ", "00", "upload"}) {
    control.SetUpDownload("0");
    control.SetUpDownload(value);
    EXPECT_FALSE(IsVisible("MainFrame")) << '"' << value << '"';
    EXPECT_TRUE(IsVisible("DNMainFrame")) << '"' << value << '"';
  }
}

TEST_F(ControlStartup, ViewOptionsChangeTheUploadList) {
  CreateNew();
  auto& form = Surface();
  auto& list = form.Get<headless::HeadlessListView>("UploadFileList");
  form.Click("OptLargeIcon");
  EXPECT_EQ(list.View(), ListViewMode::kLargeIcon);
  EXPECT_EQ(list.ArrangeCount(), 1);
  EXPECT_EQ(form.Get("OptReport").Value(), 0);
  form.Click("OptSmallIcon");
  EXPECT_EQ(list.View(), ListViewMode::kSmallIcon);
  EXPECT_EQ(list.ArrangeCount(), 2);
  form.Click("OptList");
  EXPECT_EQ(list.View(), ListViewMode::kList);
  form.Click("OptReport");
  EXPECT_EQ(list.View(), ListViewMode::kReport);
  EXPECT_EQ(list.ArrangeCount(), 2);  // list and report views are not rearranged
  EXPECT_EQ(list.RefreshCount(), 4);
}

}  // namespace
}  // namespace veldrask::testing
