#pragma once

#include <windows.h>
// The common controls' declarations need the types above.
#include <commctrl.h>

#include <array>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "base/key_set.h"
#include "win32/ui/widget.h"

namespace veldrask::win32 {

class Win32ImageList;

// A list view common control. Row n is the control's item n - 1; the widget keeps each row's
// key, texts, tool tip and icon keys beside it in the same order, while ticks and selection
// live in the control, where the user changes them. Only the user's ticks raise the
// item-check handler: the program's own changes of a row's state are marked as they happen.
// A row or column number out of range raises "subscript out of range".
class Win32ListView : public Win32Widget, public ListView {
 public:
  Win32ListView(Win32Form& form, std::string name, Win32Container& container, Bounds bounds);

  void AddColumn(const ListColumn& column) override;
  std::int32_t ColumnCount() const override;
  ListColumn Column(std::int32_t index) const override;

  void SetImageLists(ImageList* large, ImageList* small) override;
  void SetView(ListViewMode mode) override;
  ListViewMode View() const override { return view_; }
  void Refresh() override;
  void ArrangeLeft() override;
  void SetLabelEditAutomatic(bool automatic) override;
  void SetCheckBoxes(bool enabled) override;

  // A position past the end appends; a negative one raises "invalid argument".
  std::optional<std::int32_t> AddRow(std::int32_t position, std::string_view key,
                                     std::string_view text) override;
  std::int32_t RowCount() const override;
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

  bool Checked(std::int32_t row) const override;
  void SetChecked(std::int32_t row, bool checked) override;

  bool Selected(std::int32_t row) const override;
  void SetSelected(std::int32_t row, bool selected) override;
  std::int32_t SelectedRow() const override;
  std::int32_t SelectedCount() const override;
  std::int32_t FirstSelectedRow() const override;
  void EnsureVisible(std::int32_t row) override;

  void SetOnItemCheck(std::function<void(std::int32_t row)> handler) override {
    onItemCheck_ = std::move(handler);
  }
  void SetOnColumnClick(std::function<void(std::int32_t column)> handler) override {
    onColumnClick_ = std::move(handler);
  }

  LRESULT OnNotify(NMHDR& header) override;

 private:
  struct Row {
    std::string key;
    std::string text;
    std::array<std::string, 2> subItems;
    std::string toolTip;
    std::string iconKey;
    std::string smallIconKey;
  };

  std::size_t IndexOf(std::int32_t row) const;
  Row& At(std::int32_t row) { return rows_[IndexOf(row)]; }
  const Row& At(std::int32_t row) const { return rows_[IndexOf(row)]; }
  static std::size_t SubItemIndex(std::int32_t index);
  int ImageOf(const Row& row) const;
  void SetItemState(std::size_t index, UINT state, UINT mask);
  UINT ItemState(std::size_t index, UINT mask) const;
  void SetStyleBits(LONG_PTR bits, LONG_PTR mask);
  void OnItemChanged(const NMLISTVIEW& change);
  void OnInfoTip(NMLVGETINFOTIPW& tip) const;

  std::vector<ListColumn> columns_;
  std::vector<Row> rows_;
  // The non-empty keys of rows_, for the duplicate check of AddRow.
  KeySet keys_;
  Win32ImageList* largeImages_ = nullptr;
  Win32ImageList* smallImages_ = nullptr;
  ListViewMode view_ = ListViewMode::kLargeIcon;
  // Set while the program itself changes item states.
  bool programChange_ = false;
  std::function<void(std::int32_t)> onItemCheck_;
  std::function<void(std::int32_t)> onColumnClick_;
};

}  // namespace veldrask::win32
