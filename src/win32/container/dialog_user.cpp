#include "win32/container/dialog_user.h"

#include <commctrl.h>

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

void DialogUser::ChooseDesktopFolder(std::string name) {
  folderChoices_.push_back(win32::Widen(name));
}

void DialogUser::CloseWindowTitled(std::string titleStart) {
  WhenWindowShows(std::move(titleStart), [this](HWND window) {
    ++closedWindows_;
    PostMessageW(window, WM_SYSCOMMAND, SC_CLOSE, 0);
  });
}

void DialogUser::WhenWindowShows(std::string titleStart, std::function<void(HWND)> act) {
  windowActions_.push_back({win32::Widen(titleStart), std::move(act)});
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
    const auto action = std::find_if(
        windowActions_.begin(), windowActions_.end(), [&](const WindowAction& candidate) {
          return std::wstring_view(title).starts_with(candidate.titleStart);
        });
    if (action != windowActions_.end()) {
      const std::function<void(HWND)> act = std::move(action->act);
      windowActions_.erase(action);
      act(window);
    }
  }
}

void DialogUser::Answer(HWND dialog) {
  HWND fileName = GetDlgItem(dialog, kFileNameCombo);
  if (fileName == nullptr) fileName = GetDlgItem(dialog, kFileNameEdit);
  if (HWND tree = FindWindowExW(dialog, nullptr, WC_TREEVIEWW, nullptr);
      fileName == nullptr && tree != nullptr) {
    AnswerFolderBrowser(dialog, tree);
    return;
  }
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

// The browser opens on the desktop: the folder is one of its children in the tree.
void DialogUser::AnswerFolderBrowser(HWND dialog, HWND tree) {
  EnableWindow(dialog, FALSE);
  const bool chosen = !folderChoices_.empty() && SelectDesktopFolder(tree, folderChoices_.front());
  if (!folderChoices_.empty()) folderChoices_.pop_front();
  // A folder that is not there: the user gives up.
  Press(dialog, chosen ? IDOK : IDCANCEL);
}

bool SelectDesktopFolder(HWND tree, std::wstring_view name) {
  auto root = reinterpret_cast<HTREEITEM>(SendMessageW(tree, TVM_GETNEXTITEM, TVGN_ROOT, 0));
  SendMessageW(tree, TVM_EXPAND, TVE_EXPAND, reinterpret_cast<LPARAM>(root));
  for (auto item = reinterpret_cast<HTREEITEM>(
           SendMessageW(tree, TVM_GETNEXTITEM, TVGN_CHILD, reinterpret_cast<LPARAM>(root)));
       item != nullptr; item = reinterpret_cast<HTREEITEM>(SendMessageW(
                            tree, TVM_GETNEXTITEM, TVGN_NEXT, reinterpret_cast<LPARAM>(item)))) {
    wchar_t text[MAX_PATH] = {};
    TVITEMW query{};
    query.mask = TVIF_TEXT;
    query.hItem = item;
    query.pszText = text;
    query.cchTextMax = MAX_PATH;
    SendMessageW(tree, TVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&query));
    if (name == text) {
      SendMessageW(tree, TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(item));
      return true;
    }
  }
  return false;
}

}  // namespace veldrask::container
