#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <vector>

#include "base/error.h"
#include "error_of.h"
#include "headless_fixture.h"

namespace veldrask::headless {
namespace {

using testing::ErrorOf;

using WidgetTest = HeadlessTest;

TEST_F(WidgetTest, SelectingAnOptionClearsOnlyTheOthersOfItsContainer) {
  Widget& frameA = form->AddWidget(WidgetKind::kFrame, "fraA", nullptr, "", {});
  Widget& frameB = form->AddWidget(WidgetKind::kFrame, "fraB", nullptr, "", {});
  Widget& a1 = form->AddWidget(WidgetKind::kOptionButton, "optA1", &frameA, "", {});
  Widget& a2 = form->AddWidget(WidgetKind::kOptionButton, "optA2", &frameA, "", {});
  Widget& b1 = form->AddWidget(WidgetKind::kOptionButton, "optB1", &frameB, "", {});
  Widget& top = form->AddWidget(WidgetKind::kOptionButton, "optTop", nullptr, "", {});
  Widget& check = form->AddWidget(WidgetKind::kCheckBox, "chkA", &frameA, "", {});

  a1.SetValue(1);
  b1.SetValue(1);
  top.SetValue(1);
  check.SetValue(1);
  a2.SetValue(1);
  EXPECT_EQ(a1.Value(), 0);
  EXPECT_EQ(a2.Value(), 1);
  EXPECT_EQ(b1.Value(), 1);
  EXPECT_EQ(top.Value(), 1);
  EXPECT_EQ(check.Value(), 1);

  std::vector<std::int32_t> seenByHandler;
  a1.SetOnClick([&] { seenByHandler = {a1.Value(), a2.Value()}; });
  form->Click("optA1");
  EXPECT_EQ(seenByHandler, (std::vector<std::int32_t>{1, 0}));

  a1.SetValue(0);
  EXPECT_EQ(a1.Value(), 0);
  EXPECT_EQ(a2.Value(), 0);
}

TEST_F(WidgetTest, CheckBoxTakesThreeStatesAndTheUserTogglesIt) {
  Widget& check = form->AddWidget(WidgetKind::kCheckBox, "chkAll", nullptr, "모두", {});
  std::vector<std::int32_t> clicks;
  check.SetOnClick([&] { clicks.push_back(check.Value()); });

  check.SetValue(2);
  EXPECT_EQ(check.Value(), 2);
  EXPECT_EQ(ErrorOf([&] { check.SetValue(3); }), 5);
  EXPECT_EQ(ErrorOf([&] { check.SetValue(-1); }), 5);
  EXPECT_EQ(check.Value(), 2);
  EXPECT_TRUE(clicks.empty()) << "a program change is no click";

  form->Click("chkAll");
  form->Click("chkAll");
  form->Click("chkAll");
  EXPECT_EQ(clicks, (std::vector<std::int32_t>{1, 0, 1}));
}

TEST_F(WidgetTest, UserCannotClickWhatIsHidden) {
  Widget& frame = form->AddWidget(WidgetKind::kFrame, "fraOptions", nullptr, "", {});
  Widget& button = form->AddWidget(WidgetKind::kButton, "cmdGo", &frame, "시작", {});
  int clicks = 0;
  button.SetOnClick([&] { ++clicks; });

  frame.SetVisible(false);
  EXPECT_THROW(form->Click("cmdGo"), std::logic_error);
  frame.SetVisible(true);
  button.SetVisible(false);
  EXPECT_THROW(form->Click("cmdGo"), std::logic_error);
  button.SetVisible(true);
  form->Click("cmdGo");
  EXPECT_EQ(clicks, 1);
  EXPECT_THROW(form->Click("cmdMissing"), std::logic_error);
}

TEST_F(WidgetTest, EventLogKeepsShowHideAndMoveOrder) {
  Widget& list = form->AddWidget(WidgetKind::kFrame, "UploadFileList", nullptr, "", {});
  Widget& label = form->AddWidget(WidgetKind::kLabel, "lblInfo", nullptr, "", {0, 0, 900, 240});
  label.SetVisible(false);  // before the log starts: not recorded

  ui.Recorder().StartLog();
  list.SetVisible(false);
  label.SetVisible(true);
  label.Move(120, 240);
  label.SetCaption("3개 파일");
  form->Show();
  list.SetVisible(false);
  ui.Recorder().StopLog();
  list.SetVisible(true);

  EXPECT_EQ(ui.Recorder().Log(),
            (std::vector<std::string>{"hide UploadFileList", "show lblInfo", "move lblInfo 120 240",
                                      "show frmMain", "hide UploadFileList"}));
  EXPECT_EQ(label.Position(), (Bounds{120, 240, 900, 240}));
}

TEST_F(WidgetTest, DetailedLogAddsChangedCaptionsAndValues) {
  Widget& label = form->AddWidget(WidgetKind::kLabel, "lblSpeed", nullptr, "", {});
  ProgressBar& bar = form->AddProgressBar("prgFile", nullptr, {});

  ui.Recorder().StartLog(LogDetail::kLayoutAndTexts);
  label.SetCaption("10 KB/s");
  label.SetCaption("10 KB/s");
  bar.SetValue(40);
  bar.SetValue(40);
  EXPECT_EQ(ui.Recorder().Log(),
            (std::vector<std::string>{"caption lblSpeed 10 KB/s", "value prgFile 40"}));
  ui.Recorder().ClearLog();
  EXPECT_TRUE(ui.Recorder().Log().empty());
}

TEST_F(WidgetTest, ChangeObserverSeesOnlyItsWidgetAndCanBeRemovedWhileRunning) {
  std::unique_ptr<HeadlessForm> other = ui.CreateHeadlessForm("frmOther", "", {});
  Widget& label = form->AddWidget(WidgetKind::kLabel, "lblSend", nullptr, "", {});
  Widget& namesake = other->AddWidget(WidgetKind::kLabel, "lblSend", nullptr, "", {});
  Widget& neighbour = form->AddWidget(WidgetKind::kLabel, "lblRecv", nullptr, "", {});

  std::vector<std::string> seen;
  ObserverId id = 0;
  id = ui.OnChange("frmMain", "lblSend", [&](HeadlessWidget& widget) {
    seen.push_back(widget.Caption() + ":" + std::to_string(widget.Value()));
    if (widget.Caption() == "stop") ui.RemoveObserver(id);
  });

  label.SetCaption("1%");
  label.SetCaption("1%");
  namesake.SetCaption("2%");
  neighbour.SetCaption("3%");
  label.SetValue(7);
  label.SetCaption("stop");
  label.SetCaption("after");
  EXPECT_EQ(seen, (std::vector<std::string>{"1%:0", "1%:7", "stop:7"}));
  EXPECT_FALSE(ui.Recorder().RemoveObserver(id));
}

TEST_F(WidgetTest, ProgressBarRefusesValuesOutsideItsRange) {
  ProgressBar& bar = form->AddProgressBar("prgTotal", nullptr, {});
  EXPECT_EQ(bar.Minimum(), 0);
  EXPECT_EQ(bar.Maximum(), 100);
  EXPECT_EQ(ErrorOf([&] { bar.SetValue(101); }), 5);
  bar.SetMaximum(5000);
  bar.SetValue(4999);
  EXPECT_EQ(bar.Value(), 4999);
  bar.SetMinimum(10);
  EXPECT_EQ(ErrorOf([&] { bar.SetValue(9); }), 5);
}

TEST_F(WidgetTest, AddingChecksNamesKindsAndContainers) {
  std::unique_ptr<HeadlessForm> other = ui.CreateHeadlessForm("frmOther", "", {});
  Widget& foreignFrame = other->AddWidget(WidgetKind::kFrame, "fraX", nullptr, "", {});
  Widget& label = form->AddWidget(WidgetKind::kLabel, "lblA", nullptr, "", {});
  Widget& frame = form->AddWidget(WidgetKind::kFrame, "fraA", form.get(), "", {});

  EXPECT_EQ(ErrorOf([&] { form->AddWidget(WidgetKind::kLabel, "lblA", nullptr, "", {}); }), 35602);
  EXPECT_EQ(ErrorOf([&] { form->AddImageList("lblA", 16); }), 35602);
  EXPECT_EQ(ErrorOf([&] { form->AddWidget(WidgetKind::kLabel, "", nullptr, "", {}); }), 5);
  EXPECT_EQ(ErrorOf([&] { form->AddWidget(WidgetKind::kListView, "lv", nullptr, "", {}); }), 5);
  EXPECT_EQ(ErrorOf([&] { form->AddWidget(WidgetKind::kLabel, "l2", &foreignFrame, "", {}); }), 5);
  EXPECT_EQ(ErrorOf([&] { form->AddWidget(WidgetKind::kLabel, "l3", &label, "", {}); }), 5);
  EXPECT_EQ(ErrorOf([&] { form->AddImageList("imgMid", 24); }), 5);

  Widget& inner = form->AddWidget(WidgetKind::kLabel, "lblInner", &frame, "", {});
  EXPECT_EQ(inner.Container(), &frame);
  EXPECT_EQ(label.Container(), static_cast<Widget*>(form.get()));
  EXPECT_EQ(form->Container(), nullptr);
  EXPECT_EQ(form->Find("lblInner"), &inner);
  EXPECT_EQ(form->Find("l2"), nullptr);
  EXPECT_THROW(form->Get<HeadlessListView>("lblA"), std::logic_error);

  std::vector<std::string> rendered;
  for (const auto& widget : form->Widgets()) {
    rendered.push_back(std::string(KindName(widget->Kind())) + " " + widget->Name());
  }
  EXPECT_EQ(rendered, (std::vector<std::string>{"label lblA", "frame fraA", "label lblInner"}));
}

TEST_F(WidgetTest, ImageListKeepsKeysInOrderAndPictureBoxItsLastIcon) {
  ImageList& images = form->AddImageList("imgSmall", 16);
  EXPECT_FALSE(images.Visible());
  images.Add("txt", Picture{"text-x-generic", nullptr});
  images.Add("doc", Picture{"x-office-document", nullptr});
  images.Add("txt", Picture{"text-plain", nullptr});
  EXPECT_EQ(images.Count(), 3);
  EXPECT_EQ(images.Key(2), "doc");
  EXPECT_EQ(images.Image(3).name, "text-plain");
  EXPECT_EQ(ErrorOf([&] { images.Key(0); }), 9);
  EXPECT_EQ(ErrorOf([&] { images.Image(4); }), 9);

  PictureBox& box = form->AddPictureBox("picIcon", nullptr, {});
  box.DrawIcon(images.Image(2));
  EXPECT_EQ(box.Snapshot().name, "x-office-document");
  box.ClearPicture();
  EXPECT_TRUE(box.Snapshot().Empty());
}

}  // namespace
}  // namespace veldrask::headless
