#include "dialog_driver.h"

#include <utility>

namespace veldrask::testing {
namespace {

std::function<void(HWND)> pendingAction;
UINT_PTR timer = 0;

BOOL CALLBACK FindDialog(HWND window, LPARAM found) {
  wchar_t className[16] = {};
  GetClassNameW(window, className, 16);
  if (std::wstring_view(className) != L"#32770" || !IsWindowVisible(window)) return TRUE;
  *reinterpret_cast<HWND*>(found) = window;
  return FALSE;
}

void CALLBACK Poll(HWND, UINT, UINT_PTR, DWORD) {
  HWND dialog = nullptr;
  EnumThreadWindows(GetCurrentThreadId(), FindDialog, reinterpret_cast<LPARAM>(&dialog));
  if (dialog == nullptr) return;
  KillTimer(nullptr, timer);
  timer = 0;
  std::function<void(HWND)> action = std::move(pendingAction);
  action(dialog);
}

}  // namespace

void OnDialog(std::function<void(HWND dialog)> action) {
  pendingAction = std::move(action);
  if (timer == 0) timer = SetTimer(nullptr, 0, 50, Poll);
}

std::wstring TextOf(HWND window) {
  std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(window)) + 1, L'\0');
  text.resize(
      static_cast<std::size_t>(GetWindowTextW(window, text.data(), static_cast<int>(text.size()))));
  return text;
}

void ClickButton(HWND dialog, int id) {
  SendMessageW(GetDlgItem(dialog, id), BM_CLICK, 0, 0);
}

void EnterFileName(HWND dialog, const std::wstring& text) {
  constexpr int kFileNameCombo = 0x47c;  // the explorer-style dialog's box
  constexpr int kFileNameEdit = 0x480;   // the old-style dialog's box
  HWND box = GetDlgItem(dialog, kFileNameCombo);
  if (box == nullptr) box = GetDlgItem(dialog, kFileNameEdit);
  SetWindowTextW(box, text.c_str());
  ClickButton(dialog, IDOK);
}

}  // namespace veldrask::testing
