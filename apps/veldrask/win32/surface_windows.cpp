#include "surface_windows.h"

#include <commctrl.h>

#include <string>

#include "win32/wide_text.h"

namespace veldrask::host {
namespace {

struct Search {
  const wchar_t* className;
  std::wstring caption;  // empty: any
  HWND found = nullptr;
};

BOOL CALLBACK Match(HWND window, LPARAM context) {
  auto& search = *reinterpret_cast<Search*>(context);
  wchar_t className[32] = {};
  GetClassNameW(window, className, 32);
  if (CompareStringOrdinal(className, -1, search.className, -1, TRUE) != CSTR_EQUAL ||
      !IsWindowVisible(window)) {
    return TRUE;
  }
  if (!search.caption.empty()) {
    std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(window)) + 1, L'\0');
    text.resize(static_cast<std::size_t>(
        GetWindowTextW(window, text.data(), static_cast<int>(text.size()))));
    if (text != search.caption) return TRUE;
  }
  search.found = window;
  return FALSE;
}

HWND Find(HWND page, const wchar_t* className, std::wstring caption) {
  Search search{className, std::move(caption)};
  EnumChildWindows(page, Match, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

// State image 2 is a ticked check box, 1 an empty one.
constexpr UINT kTicked = INDEXTOSTATEIMAGEMASK(2);
constexpr UINT kEmpty = INDEXTOSTATEIMAGEMASK(1);

}  // namespace

HWND VisibleList(HWND page) {
  return Find(page, WC_LISTVIEWW, {});
}

int RowCount(HWND list) {
  return static_cast<int>(SendMessageW(list, LVM_GETITEMCOUNT, 0, 0));
}

bool RowTicked(HWND list, int row) {
  const auto state = static_cast<UINT>(
      SendMessageW(list, LVM_GETITEMSTATE, static_cast<WPARAM>(row - 1), LVIS_STATEIMAGEMASK));
  return (state & LVIS_STATEIMAGEMASK) == kTicked;
}

void TickRow(HWND list, int row, bool ticked) {
  LVITEMW item{};
  item.stateMask = LVIS_STATEIMAGEMASK;
  item.state = ticked ? kTicked : kEmpty;
  SendMessageW(list, LVM_SETITEMSTATE, static_cast<WPARAM>(row - 1),
               reinterpret_cast<LPARAM>(&item));
}

bool BoxTicked(HWND page, std::string_view caption) {
  HWND box = Find(page, L"Button", win32::Widen(caption));
  return box != nullptr && SendMessageW(box, BM_GETCHECK, 0, 0) == BST_CHECKED;
}

}  // namespace veldrask::host
