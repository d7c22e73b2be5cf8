// Widgets as real windows: where they stand, and what reaches the core when the user acts on
// them inside a frame.

#include <vector>

#include "win32_ui_fixture.h"
// The common controls' declarations need the Windows types the fixture brings.
#include <commctrl.h>

namespace veldrask::testing {
namespace {

RECT RectInParent(HWND window) {
  RECT area;
  GetWindowRect(window, &area);
  MapWindowPoints(nullptr, GetParent(window), reinterpret_cast<POINT*>(&area), 2);
  return area;
}

TEST_F(Win32UiTest, WidgetsStandAtTheirTwipPositionsInsideTheirContainer) {
  HDC screen = GetDC(nullptr);
  ASSERT_EQ(GetDeviceCaps(screen, LOGPIXELSX), 96) << "the expected pixels are at 96 DPI";
  ReleaseDC(nullptr, screen);

  std::unique_ptr<Form> form = CreateSurface("UploaderControl", {0, 0, 9000, 6000});
  Widget& frame = form->AddWidget(WidgetKind::kFrame, "fra", nullptr, "틀", {300, 150, 7500, 5000});
  struct Case {
    Widget* widget;
    RECT pixels;  // 15 twips a pixel
  } cases[] = {
      {&frame, {20, 10, 520, 343}},
      {&form->AddWidget(WidgetKind::kLabel, "lbl", &frame, "이름", {150, 255, 975, 225}),
       {10, 17, 75, 32}},
      {&form->AddWidget(WidgetKind::kButton, "cmd", &frame, "추가", {7875 - 3000, 1725, 1530, 435}),
       {325, 115, 427, 144}},
      {&form->AddListView("lvw", &frame, {45, 195, 7200, 2025}), {3, 13, 483, 148}},
      {&form->AddProgressBar("pb", &frame, {150, 990, 6765, 255}), {10, 66, 461, 83}},
      {&form->AddPictureBox("pic", nullptr, {4905, 2820, 480, 480}), {327, 188, 359, 220}},
  };
  for (const Case& test : cases) {
    const RECT actual = RectInParent(WindowOf(*test.widget));
    EXPECT_EQ(actual.left, test.pixels.left) << test.widget->Name();
    EXPECT_EQ(actual.top, test.pixels.top) << test.widget->Name();
    EXPECT_EQ(actual.right, test.pixels.right) << test.widget->Name();
    EXPECT_EQ(actual.bottom, test.pixels.bottom) << test.widget->Name();
  }

  frame.Move(0, 0);
  EXPECT_EQ(RectInParent(WindowOf(frame)).left, 0);
}

TEST_F(Win32UiTest, TheSurfaceShowsInsideTheHostWindowOnly) {
  std::unique_ptr<Form> surface = CreateSurface("UploaderControl", {0, 0, 9480, 6495});
  HWND window = ui_.WindowOf(*surface);
  EXPECT_EQ(GetParent(window), host_);
  EXPECT_FALSE(IsWindowVisible(window)) << "not before Show";
  surface->Show();
  EXPECT_TRUE(IsWindowVisible(window));

  ui_.SetHostWindow(nullptr);  // the container deactivates the control
  DestroyWindow(host_);
  EXPECT_TRUE(IsWindow(window)) << "the surface outlives the host's window";
  EXPECT_FALSE(IsWindowVisible(window));

  host_ = CreateWindowExW(0, L"STATIC", L"", WS_CHILD | WS_VISIBLE, 0, 0, 700, 500, page_, nullptr,
                          nullptr, nullptr);
  ui_.SetHostWindow(host_);
  EXPECT_EQ(GetParent(window), host_);
  EXPECT_TRUE(IsWindowVisible(window));
}

TEST_F(Win32UiTest, ButtonsInAFrameReachTheCoreWithTheirValues) {
  std::unique_ptr<Form> form = CreateSurface("UploaderControl", {0, 0, 6000, 3000});
  Widget& frame =
      form->AddWidget(WidgetKind::kFrame, "TypeFrame", nullptr, "보기", {0, 0, 3000, 2000});
  Widget& add =
      form->AddWidget(WidgetKind::kButton, "cmdAdd", &frame, "추가", {90, 1500, 1200, 400});
  Widget& large =
      form->AddWidget(WidgetKind::kOptionButton, "OptLarge", &frame, "큰", {90, 180, 1275, 315});
  Widget& report = form->AddWidget(WidgetKind::kOptionButton, "OptReport", &frame, "자세히",
                                   {90, 510, 1275, 315});
  Widget& check =
      form->AddWidget(WidgetKind::kCheckBox, "chkDup", nullptr, "덮어쓰기", {3500, 180, 1320, 225});
  std::vector<std::string> clicks;
  for (Widget* widget : {&add, &large, &report, &check}) {
    widget->SetOnClick([&clicks, widget] { clicks.push_back(widget->Name()); });
  }
  report.SetValue(1);
  check.SetValue(2);
  EXPECT_EQ(SendMessageW(WindowOf(check), BM_GETCHECK, 0, 0), BST_INDETERMINATE);

  struct Step {
    Widget* clicked;
    int large;
    int report;
    int check;
  } steps[] = {
      {&add, 0, 1, 2},   {&large, 1, 0, 2},  {&check, 1, 0, 1},  // greyed becomes ticked
      {&check, 1, 0, 0}, {&report, 0, 1, 0},
  };
  std::vector<std::string> expectedClicks;
  for (const Step& step : steps) {
    SendMessageW(WindowOf(*step.clicked), BM_CLICK, 0, 0);
    expectedClicks.push_back(step.clicked->Name());
    EXPECT_EQ(clicks, expectedClicks);
    EXPECT_EQ(large.Value(), step.large) << step.clicked->Name();
    EXPECT_EQ(report.Value(), step.report) << step.clicked->Name();
    EXPECT_EQ(check.Value(), step.check) << step.clicked->Name();
    EXPECT_EQ(SendMessageW(WindowOf(large), BM_GETCHECK, 0, 0), step.large);
    EXPECT_EQ(SendMessageW(WindowOf(check), BM_GETCHECK, 0, 0), step.check);
  }
}

class ListViewTest : public Win32UiTest {
 protected:
  ListViewTest()
      : form_(CreateSurface("UploaderControl", {0, 0, 9480, 6495})),
        frame_(
            form_->AddWidget(WidgetKind::kFrame, "DNMainFrame", nullptr, "", {0, 0, 7905, 2595})),
        list_(form_->AddListView("DownloadFileList", &frame_, {45, 195, 7800, 1590})) {
    list_.AddColumn({"filename", "파일 이름", 4000, Alignment::kLeft});
    list_.AddColumn({"fiesize", "파일 크기(Bytes)", 1700, Alignment::kRight});
    list_.AddColumn({"fietype", "파일 형식", 1700, Alignment::kLeft});
    list_.SetView(ListViewMode::kReport);
    list_.SetCheckBoxes(true);
    for (const char* name : {"가.txt", "나.txt", "다.txt"}) list_.AddRow(0, name, name);
    list_.SetOnItemCheck([this](std::int32_t row) { ticks_.push_back(row); });
    list_.SetOnColumnClick([this](std::int32_t column) { columns_.push_back(column); });
    form_->Show();
  }

  // The user presses the space bar on the row: its tick toggles.
  void UserToggle(std::int32_t row) {
    for (std::int32_t other = 1; other <= list_.RowCount(); ++other)
      list_.SetSelected(other, false);
    list_.SetSelected(row, true);
    SendMessageW(WindowOf(list_), WM_KEYDOWN, VK_SPACE, 0);
    SendMessageW(WindowOf(list_), WM_KEYUP, VK_SPACE, 0);
  }

  void UserClickHeader(int column) {
    HWND header = reinterpret_cast<HWND>(SendMessageW(WindowOf(list_), LVM_GETHEADER, 0, 0));
    RECT area;
    SendMessageW(header, HDM_GETITEMRECT, static_cast<WPARAM>(column - 1),
                 reinterpret_cast<LPARAM>(&area));
    const LPARAM point = MAKELPARAM((area.left + area.right) / 2, (area.top + area.bottom) / 2);
    SendMessageW(header, WM_LBUTTONDOWN, MK_LBUTTON, point);
    SendMessageW(header, WM_LBUTTONUP, 0, point);
  }

  std::unique_ptr<Form> form_;
  Widget& frame_;
  ListView& list_;
  std::vector<std::int32_t> ticks_;
  std::vector<std::int32_t> columns_;
};

TEST_F(ListViewTest, OnlyTheUsersTicksRaiseItemCheck) {
  list_.SetChecked(1, true);
  list_.SetChecked(2, true);
  list_.SetChecked(2, false);
  list_.AddRow(2, "라.txt", "라.txt");
  list_.SetChecked(2, true);
  list_.RemoveRow(2);
  EXPECT_TRUE(ticks_.empty()) << "the program's ticks, rows and selection raise nothing";
  EXPECT_TRUE(list_.Checked(1));
  EXPECT_FALSE(list_.Checked(2));

  struct Step {
    std::int32_t row;
    bool checkedAfter;
  } steps[] = {{3, true}, {1, false}, {3, false}};
  std::vector<std::int32_t> expected;
  for (const Step& step : steps) {
    UserToggle(step.row);
    expected.push_back(step.row);
    EXPECT_EQ(ticks_, expected);
    EXPECT_EQ(list_.Checked(step.row), step.checkedAfter) << "row " << step.row;
    EXPECT_EQ(list_.SelectedRow(), step.row);
  }
}

TEST_F(ListViewTest, HeaderClicksInsideAFrameRaiseColumnClick) {
  for (int column : {2, 1, 3}) UserClickHeader(column);
  EXPECT_EQ(columns_, (std::vector<std::int32_t>{2, 1, 3}));
}

TEST_F(ListViewTest, RowsKeepKeysTextsAndSubItemsInTheirOrder) {
  EXPECT_EQ(list_.AddRow(0, "나.txt", "again"), std::nullopt) << "keys are unique";
  EXPECT_EQ(list_.AddRow(1, "첫.txt", "첫.txt"), 1);
  list_.SetSubItem(1, 1, "1,234");
  list_.SetSubItem(1, 2, "텍스트 문서");
  wchar_t text[64] = {};
  LVITEMW item{};
  item.iSubItem = 2;
  item.pszText = text;
  item.cchTextMax = 64;
  SendMessageW(WindowOf(list_), LVM_GETITEMTEXTW, 0, reinterpret_cast<LPARAM>(&item));
  EXPECT_EQ(std::wstring(text), L"텍스트 문서");
  EXPECT_EQ(list_.RowKey(2), "가.txt");
  EXPECT_EQ(list_.SubItem(1, 1), "1,234");
  list_.RemoveRow(1);
  EXPECT_EQ(list_.RowKey(1), "가.txt");
  EXPECT_EQ(SendMessageW(WindowOf(list_), LVM_GETITEMCOUNT, 0, 0), 3);
}

}  // namespace
}  // namespace veldrask::testing
