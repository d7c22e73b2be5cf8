#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <vector>

#include "headless_fixture.h"

namespace veldrask::headless {
namespace {

class FormTest : public HeadlessTest {
 protected:
  std::unique_ptr<HeadlessForm> process = ui.CreateHeadlessForm("frmProcess", "전송 중", {});
  std::vector<std::string> events;

  void TraceHandlers(HeadlessForm& traced) {
    traced.SetOnActivate([this, &traced] {
      events.push_back(std::string("activate open=") + (traced.IsOpen() ? "1" : "0") +
                       " visible=" + (traced.Visible() ? "1" : "0"));
    });
    traced.SetOnClose([this, &traced] {
      events.push_back(std::string("close open=") + (traced.IsOpen() ? "1" : "0"));
    });
  }
};

TEST_F(FormTest, ShowModalReturnsOnlyAfterAPostedUserClose) {
  TraceHandlers(*process);
  process->AddWidget(WidgetKind::kButton, "cmdCancel", nullptr, "취소", {});
  process->Get("cmdCancel").SetOnClick([this] { events.push_back("cancel"); });
  ui.PostClick("frmProcess", "cmdCancel");
  ui.PostUserClose("frmProcess");
  loop.Post([this] { events.push_back("after close"); });

  process->ShowModal();
  events.push_back("returned");
  EXPECT_EQ(events, (std::vector<std::string>{"activate open=1 visible=1", "cancel", "close open=1",
                                              "returned"}));
  EXPECT_FALSE(process->IsOpen());
  EXPECT_FALSE(process->Visible());
  EXPECT_EQ(loop.Pending(), 1u) << "the wait ended as soon as the form closed";
}

TEST_F(FormTest, ActivationThatClosesTheFormEndsShowModalWithoutWaiting) {
  TraceHandlers(*process);
  process->SetOnActivate([this] {
    events.push_back("transfer");
    process->Close();
  });
  process->ShowModal();
  EXPECT_EQ(events, (std::vector<std::string>{"transfer", "close open=1"}));
  EXPECT_FALSE(process->IsOpen());
}

TEST_F(FormTest, ShowModalKeepsWaitingWhileTheFormIsOpen) {
  loop.Post([] {});
  EXPECT_THROW(process->ShowModal(), std::runtime_error) << "the test loop ran dry";
  EXPECT_TRUE(process->IsOpen());
  EXPECT_THROW(process->ShowModal(), std::logic_error);
}

TEST_F(FormTest, CloseHandlerRunsOncePerOpening) {
  int closes = 0;
  process->SetOnClose([&] {
    ++closes;
    process->Close();  // from inside the handler: no second run
  });
  process->Show();
  process->Close();
  process->Close();
  EXPECT_EQ(closes, 1);

  process->Show();
  EXPECT_TRUE(process->IsOpen());
  process->Close();
  EXPECT_EQ(closes, 2);
}

TEST_F(FormTest, CloseFinishesEvenWhenTheHandlerThrows) {
  process->SetOnClose([] { throw std::runtime_error("handler failed"); });
  process->Show();
  EXPECT_THROW(process->Close(), std::runtime_error);
  EXPECT_FALSE(process->IsOpen());
  EXPECT_NO_THROW(process->Close());
}

TEST_F(FormTest, UiFindsOpenFormsByNameWhileTheyExist) {
  EXPECT_EQ(ui.Forms().size(), 2u);
  EXPECT_EQ(ui.FindForm("frmProcess"), process.get());
  EXPECT_EQ(ui.FindOpenForm("frmProcess"), nullptr);

  std::unique_ptr<HeadlessForm> second = ui.CreateHeadlessForm("frmProcess", "", {});
  process->Show();
  EXPECT_EQ(ui.FindForm("frmProcess"), second.get()) << "the latest created";
  EXPECT_EQ(ui.FindOpenForm("frmProcess"), process.get());

  process.reset();
  EXPECT_EQ(ui.FindOpenForm("frmProcess"), nullptr);
  EXPECT_EQ(ui.Forms(), (std::vector<HeadlessForm*>{form.get(), second.get()}));

  std::unique_ptr<Form> plain = ui.CreateForm("frmPlain", "", {0, 0, 600, 400}, {});
  EXPECT_EQ(plain->Position(), (Bounds{0, 0, 600, 400}));
  EXPECT_EQ(ui.FindForm("frmPlain"), plain.get());
}

TEST_F(FormTest, ShownObserverRunsBeforeActivationAndCanActOnTheForm) {
  TraceHandlers(*process);
  ui.OnFormShown([this](HeadlessForm& shown) {
    events.push_back("shown " + shown.Name());
    ui.PostUserClose(shown.Name());
  });
  process->ShowModal();
  EXPECT_EQ(events, (std::vector<std::string>{"shown frmProcess", "activate open=1 visible=1",
                                              "close open=1"}));
}

TEST_F(FormTest, PostedActionsFindTheFormWhenTheyRun) {
  Widget& check = process->AddWidget(WidgetKind::kCheckBox, "chkClose", nullptr, "", {});
  HeadlessListView& list =
      dynamic_cast<HeadlessListView&>(process->AddListView("lstFiles", nullptr, {}));
  list.SetCheckBoxes(true);
  list.AddColumn({"name", "이름", 1000, Alignment::kLeft});
  ASSERT_TRUE(list.AddRow(0, "a", "a.txt"));
  ASSERT_TRUE(list.AddRow(0, "b", "b.txt"));
  std::int32_t columnClicked = 0;
  list.SetOnColumnClick([&](std::int32_t column) { columnClicked = column; });

  ui.PostClick("frmProcess", "chkClose");
  ui.PostTickRow("frmProcess", "lstFiles", 2, true);
  ui.PostSelectRows("frmProcess", "lstFiles", {1});
  ui.PostClickColumn("frmProcess", "lstFiles", 1);
  ui.PostUserClose("frmProcess");
  process->ShowModal();

  EXPECT_EQ(check.Value(), 1);
  EXPECT_TRUE(list.Checked(2));
  EXPECT_EQ(list.SelectedRow(), 1);
  EXPECT_EQ(columnClicked, 1);

  ui.PostClick("frmProcess", "chkClose");
  EXPECT_THROW(loop.ProcessPendingEvents(), std::logic_error) << "the form is closed";
}

}  // namespace
}  // namespace veldrask::headless
