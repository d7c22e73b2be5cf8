#include "finished_rows.h"

#include <commctrl.h>

#include <vector>

#include "console_interrupt.h"
#include "win32/wide_text.h"

namespace veldrask::host {
namespace {

constexpr UINT kLookEveryMs = 50;
// The list's columns: the file's name, its size, its status.
constexpr int kSizeColumn = 1;
constexpr int kStatusColumn = 2;
constexpr char kDone[] = "완료";
constexpr char kFailed[] = "실패";

thread_local FinishedRows* threadRows = nullptr;

struct ListSearch {
  HWND found = nullptr;
};

bool IsList(HWND window) {
  wchar_t className[32] = {};
  GetClassNameW(window, className, 32);
  return CompareStringOrdinal(className, -1, WC_LISTVIEWW, -1, TRUE) == CSTR_EQUAL;
}

BOOL CALLBACK MatchList(HWND window, LPARAM context) {
  if (!IsList(window)) return TRUE;
  reinterpret_cast<ListSearch*>(context)->found = window;
  return FALSE;
}

HWND ListOf(HWND window) {
  ListSearch search;
  EnumChildWindows(window, MatchList, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

std::string ItemText(HWND list, int row, int column) {
  std::wstring text(512, L'\0');
  LVITEMW item{};
  item.iSubItem = column;
  item.pszText = text.data();
  item.cchTextMax = static_cast<int>(text.size());
  const auto length = SendMessageW(list, LVM_GETITEMTEXTW, static_cast<WPARAM>(row),
                                   reinterpret_cast<LPARAM>(&item));
  text.resize(static_cast<std::size_t>(length));
  return win32::Narrow(text);
}

BOOL CALLBACK Collect(HWND window, LPARAM windows) {
  if (IsWindowVisible(window)) reinterpret_cast<std::vector<HWND>*>(windows)->push_back(window);
  return TRUE;
}

}  // namespace

FinishedRows::FinishedRows(Console& console, HWND page) : console_(console), page_(page) {
  threadRows = this;
  timer_ = SetTimer(nullptr, 0, kLookEveryMs, Tick);
  hook_ = SetWindowsHookExW(WH_CBT, WindowHook, nullptr, GetCurrentThreadId());
}

FinishedRows::~FinishedRows() {
  if (hook_ != nullptr) UnhookWindowsHookEx(hook_);
  KillTimer(nullptr, timer_);
  if (threadRows == this) threadRows = nullptr;
}

void CALLBACK FinishedRows::Tick(HWND, UINT, UINT_PTR, DWORD) {
  if (threadRows != nullptr) threadRows->Report();
}

LRESULT CALLBACK FinishedRows::WindowHook(int code, WPARAM window, LPARAM details) {
  // The window's last rows, read before it goes; a window quicker than the timer is read
  // here alone.
  if (code == HCBT_DESTROYWND && threadRows != nullptr) {
    threadRows->Ending(reinterpret_cast<HWND>(window));
  }
  return CallNextHookEx(nullptr, code, window, details);
}

void FinishedRows::Ending(HWND window) {
  // The window's widgets go before the window itself: its list is read as the list goes.
  if (!IsList(window)) return;
  HWND owner = GetAncestor(window, GA_ROOT);
  if (owner == page_) return;
  if (owner != window_) {
    window_ = owner;
    nextRow_ = 0;
  }
  ReportList(window);
  window_ = nullptr;
}

bool FinishedRows::IsTransferWindow(HWND window) const {
  const bool topLevel = (GetWindowLongPtrW(window, GWL_STYLE) & WS_CHILD) == 0;
  return topLevel && window != page_ && ListOf(window) != nullptr;
}

void FinishedRows::Report() {
  if (window_ == nullptr || !IsWindow(window_)) {
    window_ = nullptr;
    std::vector<HWND> windows;
    EnumThreadWindows(GetCurrentThreadId(), Collect, reinterpret_cast<LPARAM>(&windows));
    for (HWND window : windows) {
      if (!IsTransferWindow(window)) continue;
      window_ = window;
      nextRow_ = 0;
      closing_ = false;
      break;
    }
  }
  if (window_ == nullptr) return;
  ReportFrom(window_);
  // Ctrl-C before the window opened: it closes as soon as it shows.
  if (ConsoleInterrupt::Interrupted() && !closing_) {
    closing_ = true;
    ConsoleInterrupt::CloseAsTheUser(window_);
  }
}

void FinishedRows::ReportFrom(HWND window) {
  if (HWND list = ListOf(window)) ReportList(list);
}

void FinishedRows::ReportList(HWND list) {
  std::string lines;
  const int rows = static_cast<int>(SendMessageW(list, LVM_GETITEMCOUNT, 0, 0));
  for (; nextRow_ < rows; ++nextRow_) {
    const std::string status = ItemText(list, nextRow_, kStatusColumn);
    if (status != kDone && status != kFailed) break;
    lines += status + "  " + ItemText(list, nextRow_, 0) + " (" +
             ItemText(list, nextRow_, kSizeColumn) + " Bytes)\n";
  }
  if (!lines.empty()) console_.Print(lines);
}

}  // namespace veldrask::host
