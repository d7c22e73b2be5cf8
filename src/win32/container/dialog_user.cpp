#include "dialog_user.h"

#include <algorithm>

#include "win32/wide_text.h"

namespace veldrask::container {
namespace {

// Dialog item ids of the system's dialogs: the message box's text and the file dialog's
// file name box (a combo box, or an edit in older dialogs).
constexpr int kMessageText = 0xFFFF;
constexpr int kFileNameCombo = 0x47c;
constexpr int kFileNameEdit = 0x480;
constexpr UINT kLookEveryMs = 50;

// The one user of each thread, for the timer's callback.
thread_local DialogUser* threadUser = nullptr;

std::wstring WindowText(HWND window) {
  std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(window)) + 1, L'\0');
  text.resize(
      static_cast<std::size_t>(GetWindowTextW(window, text.data(), static_cast<int>(text.size()))));
  return text;
}

bool IsDialogClass(HWND window) {
  wchar_t className[8] = {};
  GetClassNameW(window, className, 8);
  return std::wstring_view(className) == L"#32770";
}

BOOL CALLBACK Collect(HWND window, LPARAM windows) {
  if (IsWindowVisible(window) && IsWindowEnabled(window)) {
    reinterpret_cast<std::vector<HWND>*>(windows)->push_back(window);
  }
  return TRUE;
}

void Press(HWND dialog, int id) {
  // Posted, as a click arrives: the dialog's loop handles it after this timer returns.
  PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
               reinterpret_cast<LPARAM>(GetDlgItem(dialog, id)));
}

}  // namespace

DialogUser::DialogUser() {
  threadUser = this;
  timer_ = SetTimer(nullptr, 0, kLookEveryMs, Tick);
}

DialogUser::~DialogUser() {
  KillTimer(nullptr, timer_);
  if (threadUser == this) threadUser = nullptr;
}

void DialogUser::ChooseFiles(std::string folder, std::vector<std::string> names) {
  std::wstring quoted;
  for (const std::string& name : names) {
    if (!quoted.empty()) quoted += L' ';
    quoted += L'"' + win32::Widen(name) + L'"';
  }
  fileChoices_.push_back({win32::Widen(folder), std::move(quoted)});
}

void DialogUser::CloseWindowTitled(std::string titleStart) {
  closeTitles_.push_back(win32::Widen(titleStart));
}

void CALLBACK DialogUser::Tick(HWND, UINT, UINT_PTR, DWORD) {
  if (threadUser != nullptr) threadUser->Look();
}

void DialogUser::Look() {
  std::vector<HWND> windows;
  EnumThreadWindows(GetCurrentThreadId(), Collect, reinterpret_cast<LPARAM>(&windows));
  for (HWND window : windows) {
    if (IsDialogClass(window)) {
      Answer(window);
      continue;
    }
    const std::wstring title = WindowText(window);
    const auto closing = std::find_if(
        closeTitles_.begin(), closeTitles_.end(),
        [&](const std::wstring& start) { return std::wstring_view(title).starts_with(start); });
    if (closing != closeTitles_.end()) {
      closeTitles_.erase(closing);
      ++closedWindows_;
      PostMessageW(window, WM_SYSCOMMAND, SC_CLOSE, 0);
    }
  }
}

void DialogUser::Answer(HWND dialog) {
  HWND fileName = GetDlgItem(dialog, kFileNameCombo);
  if (fileName == nullptr) fileName = GetDlgItem(dialog, kFileNameEdit);
  if (fileName == nullptr) {
    HWND text = GetDlgItem(dialog, kMessageText);
    if (text == nullptr) return;  // not a dialog this user knows how to answer
    messages_.push_back({win32::Narrow(WindowText(dialog)), win32::Narrow(WindowText(text))});
    if (onMessage_) onMessage_(messages_.back());
    // Disabled until it is gone, so that the next look does not read it twice.
    EnableWindow(dialog, FALSE);
    Press(dialog, IDOK);
    return;
  }
  if (fileChoices_.empty()) {
    ++cancelledFileDialogs_;
    EnableWindow(dialog, FALSE);
    Press(dialog, IDCANCEL);
    return;
  }
  // Into the folder first, as a user goes there; then the names, in the same dialog.
  FileChoice& choice = fileChoices_.front();
  if (enteredFolderOf_ != dialog) {
    enteredFolderOf_ = dialog;
    SetWindowTextW(fileName, choice.folder.c_str());
  } else {
    enteredFolderOf_ = nullptr;
    SetWindowTextW(fileName, choice.names.c_str());
    fileChoices_.pop_front();
  }
  Press(dialog, IDOK);
}

}  // namespace veldrask::container
