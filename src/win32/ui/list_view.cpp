#include "win32/ui/list_view.h"

#include <algorithm>
#include <cwchar>
#include <iterator>

#include "base/checked.h"
#include "base/error.h"
#include "win32/ui/image_list.h"
#include "win32/ui/pixel_scale.h"
#include "win32/ui/win32_ui.h"
#include "win32/wide_text.h"

namespace veldrask::win32 {
namespace {

constexpr UINT kUnticked = 1;  // state images of the check boxes
constexpr UINT kTicked = 2;

UINT StateImage(UINT state) {
  return (state & LVIS_STATEIMAGEMASK) >> 12;
}

LONG_PTR ViewStyle(ListViewMode mode) {
  switch (mode) {
    case ListViewMode::kLargeIcon:
      return LVS_ICON;
    case ListViewMode::kSmallIcon:
      return LVS_SMALLICON;
    case ListViewMode::kList:
      return LVS_LIST;
    case ListViewMode::kReport:
      return LVS_REPORT;
  }
  return LVS_ICON;
}

int ColumnFormat(Alignment alignment) {
  switch (alignment) {
    case Alignment::kLeft:
      return LVCFMT_LEFT;
    case Alignment::kRight:
      return LVCFMT_RIGHT;
    case Alignment::kCenter:
      return LVCFMT_CENTER;
  }
  return LVCFMT_LEFT;
}

// Marks the program's own state changes for as long as it lives; nests.
class ProgramChange {
 public:
  explicit ProgramChange(bool& flag) : flag_(flag), previous_(flag) { flag_ = true; }
  ~ProgramChange() { flag_ = previous_; }
  ProgramChange(const ProgramChange&) = delete;
  ProgramChange& operator=(const ProgramChange&) = delete;

 private:
  bool& flag_;
  bool previous_;
};

}  // namespace

Win32ListView::Win32ListView(Win32Form& form, std::string name, Win32Container& container,
                             Bounds bounds)
    : Win32Widget(form, WidgetKind::kListView, std::move(name), &container, "", bounds) {
  CreateChild(WC_LISTVIEWW,
              LVS_ICON | LVS_SHAREIMAGELISTS | LVS_EDITLABELS | LVS_SHOWSELALWAYS | WS_TABSTOP,
              WS_EX_CLIENTEDGE);
  SendMessageW(Window(), LVM_SETEXTENDEDLISTVIEWSTYLE, LVS_EX_INFOTIP, LVS_EX_INFOTIP);
}

void Win32ListView::AddColumn(const ListColumn& column) {
  std::wstring text = Widen(column.text);
  LVCOLUMNW header{};
  header.mask = LVCF_FMT | LVCF_WIDTH | LVCF_TEXT | LVCF_SUBITEM;
  header.fmt = ColumnFormat(column.alignment);
  header.cx = Ui().Scale().X(column.width);
  header.pszText = text.data();
  header.iSubItem = static_cast<int>(columns_.size());
  if (SendMessageW(Window(), LVM_INSERTCOLUMNW, columns_.size(),
                   reinterpret_cast<LPARAM>(&header)) < 0) {
    throw Error(ErrorNumber::kOutOfMemory);
  }
  columns_.push_back(column);
}

std::int32_t Win32ListView::ColumnCount() const {
  return CheckedNarrow<std::int32_t>(columns_.size());
}

ListColumn Win32ListView::Column(std::int32_t index) const {
  if (index < 1 || index > ColumnCount()) throw Error(ErrorNumber::kSubscriptOutOfRange);
  return columns_[static_cast<std::size_t>(index - 1)];
}

void Win32ListView::SetImageLists(ImageList* large, ImageList* small) {
  largeImages_ = dynamic_cast<Win32ImageList*>(large);
  smallImages_ = dynamic_cast<Win32ImageList*>(small);
  SendMessageW(Window(), LVM_SETIMAGELIST, LVSIL_NORMAL,
               reinterpret_cast<LPARAM>(largeImages_ ? largeImages_->Handle() : nullptr));
  SendMessageW(Window(), LVM_SETIMAGELIST, LVSIL_SMALL,
               reinterpret_cast<LPARAM>(smallImages_ ? smallImages_->Handle() : nullptr));
}

void Win32ListView::SetView(ListViewMode mode) {
  view_ = mode;
  SetStyleBits(ViewStyle(mode), LVS_TYPEMASK);
}

void Win32ListView::Refresh() {
  InvalidateRect(Window(), nullptr, TRUE);
  UpdateWindow(Window());
}

void Win32ListView::ArrangeLeft() {
  SetStyleBits(LVS_AUTOARRANGE | LVS_ALIGNLEFT, LVS_AUTOARRANGE | LVS_ALIGNMASK);
  SendMessageW(Window(), LVM_ARRANGE, LVA_ALIGNLEFT, 0);
}

void Win32ListView::SetLabelEditAutomatic(bool automatic) {
  SetStyleBits(automatic ? LVS_EDITLABELS : 0, LVS_EDITLABELS);
}

void Win32ListView::SetCheckBoxes(bool enabled) {
  const ProgramChange change(programChange_);
  SendMessageW(Window(), LVM_SETEXTENDEDLISTVIEWSTYLE, LVS_EX_CHECKBOXES,
               enabled ? LVS_EX_CHECKBOXES : 0);
}

std::optional<std::int32_t> Win32ListView::AddRow(std::int32_t position, std::string_view key,
                                                  std::string_view text) {
  if (position < 0) throw Error(ErrorNumber::kInvalidArgument);
  if (!key.empty() && keys_.Contains(key)) return std::nullopt;
  const std::int32_t count = RowCount();
  const std::int32_t row = position == 0 || position > count ? CheckedAdd(count, 1) : position;
  std::wstring wide = Widen(text);
  LVITEMW item{};
  item.mask = LVIF_TEXT | LVIF_IMAGE;
  item.iItem = row - 1;
  item.pszText = wide.data();
  item.iImage = I_IMAGENONE;
  {
    const ProgramChange change(programChange_);
    if (SendMessageW(Window(), LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item)) != row - 1) {
      throw Error(ErrorNumber::kOutOfMemory);
    }
  }
  rows_.insert(rows_.begin() + (row - 1), Row{std::string(key), std::string(text), {}, {}, {}, {}});
  if (!key.empty()) keys_.Insert(key);
  return row;
}

std::int32_t Win32ListView::RowCount() const {
  return CheckedNarrow<std::int32_t>(rows_.size());
}

void Win32ListView::RemoveRow(std::int32_t row) {
  const std::size_t index = IndexOf(row);
  {
    const ProgramChange change(programChange_);
    SendMessageW(Window(), LVM_DELETEITEM, index, 0);
  }
  keys_.Erase(rows_[index].key);
  rows_.erase(rows_.begin() + static_cast<std::ptrdiff_t>(index));
}

std::string Win32ListView::SubItem(std::int32_t row, std::int32_t index) const {
  return At(row).subItems[SubItemIndex(index)];
}

void Win32ListView::SetSubItem(std::int32_t row, std::int32_t index, std::string_view text) {
  const std::size_t item = IndexOf(row);
  rows_[item].subItems[SubItemIndex(index)] = text;
  std::wstring wide = Widen(text);
  LVITEMW subItem{};
  subItem.iSubItem = index;
  subItem.pszText = wide.data();
  SendMessageW(Window(), LVM_SETITEMTEXTW, item, reinterpret_cast<LPARAM>(&subItem));
}

void Win32ListView::SetToolTip(std::int32_t row, std::string_view text) {
  At(row).toolTip = text;
}

void Win32ListView::SetIconKeys(std::int32_t row, std::string_view large, std::string_view small) {
  const std::size_t index = IndexOf(row);
  Row& target = rows_[index];
  target.iconKey = large;
  target.smallIconKey = small;
  LVITEMW item{};
  item.mask = LVIF_IMAGE;
  item.iItem = static_cast<int>(index);
  item.iImage = ImageOf(target);
  SendMessageW(Window(), LVM_SETITEMW, 0, reinterpret_cast<LPARAM>(&item));
}

bool Win32ListView::Checked(std::int32_t row) const {
  return StateImage(ItemState(IndexOf(row), LVIS_STATEIMAGEMASK)) == kTicked;
}

void Win32ListView::SetChecked(std::int32_t row, bool checked) {
  const std::size_t index = IndexOf(row);
  const ProgramChange change(programChange_);
  SetItemState(index, INDEXTOSTATEIMAGEMASK(checked ? kTicked : kUnticked), LVIS_STATEIMAGEMASK);
}

bool Win32ListView::Selected(std::int32_t row) const {
  return ItemState(IndexOf(row), LVIS_SELECTED) != 0;
}

void Win32ListView::SetSelected(std::int32_t row, bool selected) {
  const std::size_t index = IndexOf(row);
  const ProgramChange change(programChange_);
  if (selected) {
    SetItemState(index, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
  } else {
    SetItemState(index, 0, LVIS_SELECTED | LVIS_FOCUSED);
  }
}

std::int32_t Win32ListView::SelectedRow() const {
  const auto focused = SendMessageW(Window(), LVM_GETNEXTITEM, static_cast<WPARAM>(-1),
                                    MAKELPARAM(LVNI_FOCUSED | LVNI_SELECTED, 0));
  return focused < 0 ? 0 : static_cast<std::int32_t>(focused + 1);
}

std::int32_t Win32ListView::SelectedCount() const {
  return static_cast<std::int32_t>(SendMessageW(Window(), LVM_GETSELECTEDCOUNT, 0, 0));
}

std::int32_t Win32ListView::FirstSelectedRow() const {
  const auto first = SendMessageW(Window(), LVM_GETNEXTITEM, static_cast<WPARAM>(-1),
                                  MAKELPARAM(LVNI_SELECTED, 0));
  return first < 0 ? 0 : static_cast<std::int32_t>(first + 1);
}

void Win32ListView::EnsureVisible(std::int32_t row) {
  SendMessageW(Window(), LVM_ENSUREVISIBLE, IndexOf(row), FALSE);
}

LRESULT Win32ListView::OnNotify(NMHDR& header) {
  switch (header.code) {
    case LVN_ITEMCHANGED:
      OnItemChanged(reinterpret_cast<const NMLISTVIEW&>(header));
      break;
    case LVN_COLUMNCLICK:
      if (onColumnClick_) onColumnClick_(reinterpret_cast<const NMLISTVIEW&>(header).iSubItem + 1);
      break;
    case LVN_GETINFOTIPW:
      OnInfoTip(reinterpret_cast<NMLVGETINFOTIPW&>(header));
      break;
    default:
      break;
  }
  return 0;
}

std::size_t Win32ListView::IndexOf(std::int32_t row) const {
  if (row < 1 || row > RowCount()) throw Error(ErrorNumber::kSubscriptOutOfRange);
  return static_cast<std::size_t>(row - 1);
}

std::size_t Win32ListView::SubItemIndex(std::int32_t index) {
  if (index < 1 || index > 2) throw Error(ErrorNumber::kSubscriptOutOfRange);
  return static_cast<std::size_t>(index - 1);
}

int Win32ListView::ImageOf(const Row& row) const {
  // One image number serves both lists; the core fills them under the same keys in step.
  if (largeImages_ != nullptr) {
    if (const int image = largeImages_->Find(row.iconKey); image >= 0) return image;
  }
  if (smallImages_ != nullptr) {
    if (const int image = smallImages_->Find(row.smallIconKey); image >= 0) return image;
  }
  return I_IMAGENONE;
}

void Win32ListView::SetItemState(std::size_t index, UINT state, UINT mask) {
  LVITEMW item{};
  item.stateMask = mask;
  item.state = state;
  SendMessageW(Window(), LVM_SETITEMSTATE, index, reinterpret_cast<LPARAM>(&item));
}

UINT Win32ListView::ItemState(std::size_t index, UINT mask) const {
  return static_cast<UINT>(
      SendMessageW(Window(), LVM_GETITEMSTATE, index, static_cast<LPARAM>(mask)));
}

void Win32ListView::SetStyleBits(LONG_PTR bits, LONG_PTR mask) {
  const LONG_PTR style = GetWindowLongPtrW(Window(), GWL_STYLE);
  SetWindowLongPtrW(Window(), GWL_STYLE, (style & ~mask) | bits);
}

void Win32ListView::OnItemChanged(const NMLISTVIEW& change) {
  if (programChange_ || change.iItem < 0 || (change.uChanged & LVIF_STATE) == 0) return;
  const UINT before = StateImage(change.uOldState);
  const UINT after = StateImage(change.uNewState);
  // State image 0 is a row that has no check box yet: that is no tick.
  if (before == 0 || after == 0 || before == after) return;
  if (onItemCheck_) onItemCheck_(change.iItem + 1);
}

void Win32ListView::OnInfoTip(NMLVGETINFOTIPW& tip) const {
  if (tip.iItem < 0 || static_cast<std::size_t>(tip.iItem) >= rows_.size()) return;
  const std::string& text = rows_[static_cast<std::size_t>(tip.iItem)].toolTip;
  if (text.empty() || tip.cchTextMax <= 0) return;
  const std::wstring wide = Widen(text);
  const std::size_t room = static_cast<std::size_t>(tip.cchTextMax) - 1;
  const std::size_t length = std::min(wide.size(), room);
  std::wmemcpy(tip.pszText, wide.data(), length);
  tip.pszText[length] = L'\0';
}

}  // namespace veldrask::win32
