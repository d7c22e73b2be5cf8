#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "base/key_set.h"
#include "headless/widget.h"
#include "platform/ui.h"

namespace veldrask::headless {

// A list view in memory. Selection allows several rows; SelectedRow is the focused one,
// set by SetSelected(row, true) and back to 0 when that row is unselected or removed. A row
// or column number out of range raises "subscript out of range".
class HeadlessListView : public HeadlessWidget, public ListView {
 public:
  HeadlessListView(HeadlessUi& ui, HeadlessForm& form, std::string name, HeadlessWidget* container,
                   Bounds bounds);

  void AddColumn(const ListColumn& column) override { columns_.push_back(column); }
  std::int32_t ColumnCount() const override;
  ListColumn Column(std::int32_t index) const override;

  void SetImageLists(ImageList* large, ImageList* small) override;
  void SetView(ListViewMode mode) override { view_ = mode; }
  ListViewMode View() const override { return view_; }
  void Refresh() override { ++refreshCount_; }
  void ArrangeLeft() override { ++arrangeCount_; }
  void SetLabelEditAutomatic(bool automatic) override { labelEditAutomatic_ = automatic; }
  void SetCheckBoxes(bool enabled) override { checkBoxes_ = enabled; }

  // A position past the end appends; a negative one raises "invalid argument".
  std::optional<std::int32_t> AddRow(std::int32_t position, std::string_view key,
                                     std::string_view text) override;
  std::int32_t RowCount() const override;
  // The rows after it move up by one.
  void RemoveRow(std::int32_t row) override;
  bool HasKey(std::string_view key) const override { return keys_.Contains(key); }

  std::string RowKey(std::int32_t row) const override { return At(row).key; }
  std::string RowText(std::int32_t row) const override { return At(row).text; }
  std::string SubItem(std::int32_t row, std::int32_t index) const override;
  void SetSubItem(std::int32_t row, std::int32_t index, std::string_view text) override;
  std::string ToolTip(std::int32_t row) const override { return At(row).toolTip; }
  void SetToolTip(std::int32_t row, std::string_view text) override;
  std::string IconKey(std::int32_t row) const override { return At(row).iconKey; }
  std::string SmallIconKey(std::int32_t row) const override { return At(row).smallIconKey; }
  void SetIconKeys(std::int32_t row, std::string_view large, std::string_view small) override;

  bool Checked(std::int32_t row) const override { return At(row).checked; }
  void SetChecked(std::int32_t row, bool checked) override { At(row).checked = checked; }

  bool Selected(std::int32_t row) const override { return At(row).selected; }
  void SetSelected(std::int32_t row, bool selected) override;
  std::int32_t SelectedRow() const override { return focusedRow_; }
  std::int32_t SelectedCount() const override;
  std::int32_t FirstSelectedRow() const override;
  void EnsureVisible(std::int32_t row) override;

  void SetOnItemCheck(std::function<void(std::int32_t row)> handler) override {
    onItemCheck_ = std::move(handler);
  }
  void SetOnColumnClick(std::function<void(std::int32_t column)> handler) override {
    onColumnClick_ = std::move(handler);
  }

  ImageList* LargeImages() const { return largeImages_; }
  ImageList* SmallImages() const { return smallImages_; }
  bool CheckBoxes() const { return checkBoxes_; }
  bool LabelEditAutomatic() const { return labelEditAutomatic_; }
  std::int32_t RefreshCount() const { return refreshCount_; }
  std::int32_t ArrangeCount() const { return arrangeCount_; }
  // The row last passed to EnsureVisible, 0 before any.
  std::int32_t EnsuredVisibleRow() const { return ensuredVisibleRow_; }
  std::vector<std::int32_t> SelectedRows() const;
  // The number of the row with that key, 0 when there is none.
  std::int32_t FindKey(std::string_view key) const;

  // The user's actions. Misuse a user could not commit (ticking without check boxes,
  // ticking a ticked row, a header that does not exist) raises std::logic_error.
  // Ticks the row (or unticks it), then raises the item-check handler.
  void UserTick(std::int32_t row, bool ticked);
  void UserClickColumn(std::int32_t column);
  // Selects exactly these rows; the last one becomes the focused row.
  void UserSelectRows(const std::vector<std::int32_t>& rows);

 private:
  struct Row {
    std::string key;
    std::string text;
    std::array<std::string, 2> subItems;
    std::string toolTip;
    std::string iconKey;
    std::string smallIconKey;
    bool checked = false;
    bool selected = false;
  };

  std::size_t IndexOf(std::int32_t row) const;
  Row& At(std::int32_t row) { return rows_[IndexOf(row)]; }
  const Row& At(std::int32_t row) const { return rows_[IndexOf(row)]; }
  static std::size_t SubItemIndex(std::int32_t index);

  std::vector<ListColumn> columns_;
  std::vector<Row> rows_;
  // The non-empty keys of rows_, for the duplicate check of AddRow.
  KeySet keys_;
  ImageList* largeImages_ = nullptr;
  ImageList* smallImages_ = nullptr;
  ListViewMode view_ = ListViewMode::kLargeIcon;
  bool labelEditAutomatic_ = true;
  bool checkBoxes_ = false;
  std::int32_t refreshCount_ = 0;
  std::int32_t arrangeCount_ = 0;
  std::int32_t ensuredVisibleRow_ = 0;
  std::int32_t focusedRow_ = 0;
  std::function<void(std::int32_t)> onItemCheck_;
  std::function<void(std::int32_t)> onColumnClick_;
};

}  // namespace veldrask::headless
