#include "headless/list_view.h"

#include <algorithm>
#include <iterator>
#include <stdexcept>
#include <utility>

#include "base/checked.h"
#include "base/error.h"
#include "base/text.h"

namespace veldrask::headless {

HeadlessListView::HeadlessListView(HeadlessUi& ui, HeadlessForm& form, std::string name,
                                   HeadlessWidget* container, Bounds bounds)
    : HeadlessWidget(ui, form, WidgetKind::kListView, std::move(name), container, "", bounds) {}

std::int32_t HeadlessListView::ColumnCount() const {
  return CheckedNarrow<std::int32_t>(columns_.size());
}

ListColumn HeadlessListView::Column(std::int32_t index) const {
  if (index < 1 || index > ColumnCount()) throw Error(ErrorNumber::kSubscriptOutOfRange);
  return columns_[static_cast<std::size_t>(index - 1)];
}

void HeadlessListView::SetImageLists(ImageList* large, ImageList* small) {
  largeImages_ = large;
  smallImages_ = small;
}

std::optional<std::int32_t> HeadlessListView::AddRow(std::int32_t position, std::string_view key,
                                                     std::string_view text) {
  if (position < 0) throw Error(ErrorNumber::kInvalidArgument);
  if (!key.empty() && keys_.Contains(key)) return std::nullopt;
  const std::int32_t count = RowCount();
  const std::int32_t row = position == 0 || position > count ? CheckedAdd(count, 1) : position;
  Row added;
  added.key = key;
  added.text = text;
  rows_.insert(rows_.begin() + (row - 1), std::move(added));
  if (!key.empty()) keys_.Insert(key);
  if (focusedRow_ >= row) ++focusedRow_;
  return row;
}

std::int32_t HeadlessListView::RowCount() const {
  return CheckedNarrow<std::int32_t>(rows_.size());
}

void HeadlessListView::RemoveRow(std::int32_t row) {
  const std::size_t index = IndexOf(row);
  keys_.Erase(rows_[index].key);
  rows_.erase(rows_.begin() + static_cast<std::ptrdiff_t>(index));
  if (focusedRow_ == row) {
    focusedRow_ = 0;
  } else if (focusedRow_ > row) {
    --focusedRow_;
  }
}

std::string HeadlessListView::SubItem(std::int32_t row, std::int32_t index) const {
  return At(row).subItems[SubItemIndex(index)];
}

void HeadlessListView::SetSubItem(std::int32_t row, std::int32_t index, std::string_view text) {
  At(row).subItems[SubItemIndex(index)] = text;
}

void HeadlessListView::SetToolTip(std::int32_t row, std::string_view text) {
  At(row).toolTip = text;
}

void HeadlessListView::SetIconKeys(std::int32_t row, std::string_view large,
                                   std::string_view small) {
  Row& target = At(row);
  target.iconKey = large;
  target.smallIconKey = small;
}

void HeadlessListView::SetSelected(std::int32_t row, bool selected) {
  At(row).selected = selected;
  if (selected) {
    focusedRow_ = row;
  } else if (focusedRow_ == row) {
    focusedRow_ = 0;
  }
}

std::int32_t HeadlessListView::SelectedCount() const {
  return CheckedNarrow<std::int32_t>(
      std::count_if(rows_.begin(), rows_.end(), [](const Row& row) { return row.selected; }));
}

std::int32_t HeadlessListView::FirstSelectedRow() const {
  const auto found =
      std::find_if(rows_.begin(), rows_.end(), [](const Row& row) { return row.selected; });
  if (found == rows_.end()) return 0;
  return CheckedNarrow<std::int32_t>(std::distance(rows_.begin(), found) + 1);
}

void HeadlessListView::EnsureVisible(std::int32_t row) {
  IndexOf(row);
  ensuredVisibleRow_ = row;
}

std::vector<std::int32_t> HeadlessListView::SelectedRows() const {
  std::vector<std::int32_t> selected;
  for (std::int32_t row = 1; row <= RowCount(); ++row) {
    if (rows_[static_cast<std::size_t>(row - 1)].selected) selected.push_back(row);
  }
  return selected;
}

std::int32_t HeadlessListView::FindKey(std::string_view key) const {
  const auto found =
      std::find_if(rows_.begin(), rows_.end(), [key](const Row& row) { return row.key == key; });
  if (found == rows_.end()) return 0;
  return CheckedNarrow<std::int32_t>(std::distance(rows_.begin(), found) + 1);
}

void HeadlessListView::UserTick(std::int32_t row, bool ticked) {
  if (!checkBoxes_) throw std::logic_error(Name() + " has no check boxes");
  Row& target = At(row);
  if (target.checked == ticked) {
    throw std::logic_error("row " + ToDecimal(row) + " of " + Name() + " is already " +
                           (ticked ? "ticked" : "unticked"));
  }
  target.checked = ticked;
  if (onItemCheck_) onItemCheck_(row);
}

void HeadlessListView::UserClickColumn(std::int32_t column) {
  if (column < 1 || column > ColumnCount()) {
    throw std::logic_error(Name() + " has no column " + ToDecimal(column));
  }
  if (onColumnClick_) onColumnClick_(column);
}

void HeadlessListView::UserSelectRows(const std::vector<std::int32_t>& rows) {
  for (std::int32_t row : rows) IndexOf(row);
  for (Row& row : rows_) row.selected = false;
  for (std::int32_t row : rows) At(row).selected = true;
  focusedRow_ = rows.empty() ? 0 : rows.back();
}

std::size_t HeadlessListView::IndexOf(std::int32_t row) const {
  if (row < 1 || row > RowCount()) throw Error(ErrorNumber::kSubscriptOutOfRange);
  return static_cast<std::size_t>(row - 1);
}

std::size_t HeadlessListView::SubItemIndex(std::int32_t index) {
  if (index < 1 || index > 2) throw Error(ErrorNumber::kSubscriptOutOfRange);
  return static_cast<std::size_t>(index - 1);
}

}  // namespace veldrask::headless
