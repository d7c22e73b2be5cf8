#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <vector>

#include "base/error.h"
#include "headless_fixture.h"

namespace veldrask::headless {
namespace {

class ListViewTest : public HeadlessTest {
 protected:
  HeadlessListView& list = dynamic_cast<HeadlessListView&>(
      form->AddListView("UploadFileList", nullptr, {0, 0, 4000, 2000}));

  std::vector<std::string> Keys() const {
    std::vector<std::string> keys;
    for (std::int32_t row = 1; row <= list.RowCount(); ++row) keys.push_back(list.RowKey(row));
    return keys;
  }

  void AddRows(const std::vector<std::string>& keys) {
    for (const std::string& key : keys) ASSERT_TRUE(list.AddRow(0, key, key + ".txt"));
  }
};

TEST_F(ListViewTest, InsertsAtPositionsAndRefusesDuplicateKeys) {
  EXPECT_EQ(list.AddRow(0, "b", "b.txt"), 1);
  EXPECT_EQ(list.AddRow(1, "a", "a.txt"), 1);
  EXPECT_EQ(list.AddRow(9, "d", "d.txt"), 3);
  EXPECT_EQ(list.AddRow(3, "c", "c.txt"), 3);
  EXPECT_EQ(list.AddRow(0, "c", "other.txt"), std::nullopt);
  EXPECT_EQ(list.AddRow(0, "", "x"), 5);
  EXPECT_EQ(list.AddRow(0, "", "y"), 6) << "empty keys never collide";
  EXPECT_EQ(Keys(), (std::vector<std::string>{"a", "b", "c", "d", "", ""}));
  EXPECT_EQ(list.RowText(3), "c.txt");
  EXPECT_EQ(list.FindKey("d"), 4);
  EXPECT_THROW(list.AddRow(-1, "z", ""), Error);
}

TEST_F(ListViewTest, RemovingRenumbersTheRestWithTheirData) {
  AddRows({"a", "b", "c"});
  list.SetSubItem(3, 1, "1,024");
  list.SetSubItem(3, 2, "문서");
  list.SetToolTip(3, "C:\\c.txt");
  list.SetIconKeys(3, "big", "small");
  list.SetChecked(3, true);

  list.RemoveRow(1);
  EXPECT_EQ(Keys(), (std::vector<std::string>{"b", "c"}));
  EXPECT_EQ(list.SubItem(2, 1), "1,024");
  EXPECT_EQ(list.SubItem(2, 2), "문서");
  EXPECT_EQ(list.ToolTip(2), "C:\\c.txt");
  EXPECT_EQ(list.IconKey(2), "big");
  EXPECT_EQ(list.SmallIconKey(2), "small");
  EXPECT_TRUE(list.Checked(2));
  EXPECT_FALSE(list.Checked(1));

  EXPECT_THROW(list.RowKey(3), Error);
  EXPECT_THROW(list.RemoveRow(0), Error);
  EXPECT_THROW(list.SubItem(1, 3), Error);
  list.EnsureVisible(2);
  EXPECT_THROW(list.EnsureVisible(3), Error);
  EXPECT_EQ(list.EnsuredVisibleRow(), 2);
  EXPECT_EQ(list.AddRow(0, "a", "a again"), 3) << "a removed key is free again";
}

TEST_F(ListViewTest, SelectedRowFollowsInsertionsAndRemovals) {
  AddRows({"a", "b", "c", "d"});
  list.SetSelected(2, true);
  list.SetSelected(4, true);
  EXPECT_EQ(list.SelectedRow(), 4);
  EXPECT_EQ(list.SelectedCount(), 2);
  EXPECT_EQ(list.FirstSelectedRow(), 2);

  ASSERT_TRUE(list.AddRow(1, "z", ""));
  EXPECT_EQ(list.SelectedRow(), 5) << "the focused row moved down";
  EXPECT_EQ(list.SelectedRows(), (std::vector<std::int32_t>{3, 5}));

  list.RemoveRow(1);
  EXPECT_EQ(list.SelectedRow(), 4);
  list.RemoveRow(4);
  EXPECT_EQ(list.SelectedRow(), 0);
  EXPECT_EQ(list.SelectedCount(), 1);
  EXPECT_EQ(list.FirstSelectedRow(), 2);

  list.SetSelected(3, true);
  list.SetSelected(3, false);
  EXPECT_EQ(list.SelectedRow(), 0);
  list.SetSelected(2, false);
  EXPECT_EQ(list.FirstSelectedRow(), 0);
}

TEST_F(ListViewTest, UserSelectionReplacesTheSelection) {
  AddRows({"a", "b", "c"});
  list.SetSelected(1, true);
  form->SelectRows("UploadFileList", {3, 2});
  EXPECT_EQ(list.SelectedRows(), (std::vector<std::int32_t>{2, 3}));
  EXPECT_EQ(list.SelectedRow(), 2);
  EXPECT_THROW(form->SelectRows("UploadFileList", {1, 4}), Error);
  EXPECT_EQ(list.SelectedRows(), (std::vector<std::int32_t>{2, 3})) << "a bad row changes nothing";
  form->SelectRows("UploadFileList", {});
  EXPECT_EQ(list.SelectedCount(), 0);
  EXPECT_EQ(list.SelectedRow(), 0);
}

TEST_F(ListViewTest, OnlyUserTicksRaiseTheItemCheckEvent) {
  AddRows({"a", "b"});
  std::vector<std::string> events;
  list.SetOnItemCheck([&](std::int32_t row) {
    events.push_back(std::to_string(row) + (list.Checked(row) ? "+" : "-"));
  });

  EXPECT_THROW(form->TickRow("UploadFileList", 1, true), std::logic_error) << "no check boxes";
  list.SetCheckBoxes(true);
  list.SetChecked(1, true);
  EXPECT_TRUE(events.empty());

  form->TickRow("UploadFileList", 2, true);
  form->TickRow("UploadFileList", 1, false);
  EXPECT_THROW(form->TickRow("UploadFileList", 1, false), std::logic_error);
  EXPECT_EQ(events, (std::vector<std::string>{"2+", "1-"}));
}

TEST_F(ListViewTest, ColumnClicksNameExistingHeaders) {
  list.AddColumn({"name", "이름", 2000, Alignment::kLeft});
  list.AddColumn({"size", "크기", 1000, Alignment::kRight});
  std::vector<std::int32_t> clicked;
  list.SetOnColumnClick([&](std::int32_t column) { clicked.push_back(column); });

  form->ClickColumn("UploadFileList", 2);
  EXPECT_THROW(form->ClickColumn("UploadFileList", 3), std::logic_error);
  EXPECT_EQ(clicked, (std::vector<std::int32_t>{2}));
  EXPECT_EQ(list.Column(2).alignment, Alignment::kRight);
  EXPECT_THROW(list.Column(0), Error);
}

}  // namespace
}  // namespace veldrask::headless
