#pragma once

// The user in front of the control: answers the dialogs the control opens on this thread
// through their own controls, as a person would. A thread timer looks for them, so it acts
// from inside the dialogs' own modal loops while the caller is blocked in them.
//
// Message boxes are read and confirmed with OK; the file-open dialog gets the next queued
// choice typed into its file name box (the folder first, then the names in quotes) and Open
// pressed, or Cancel when none is queued; the folder browser gets the next queued folder
// picked in its tree among the desktop's folders and OK pressed; a window whose title is queued for
// closing is closed through its close box.

#include <windows.h>

#include <deque>
#include <functional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace veldrask::container {

struct SeenMessage {
  std::string title;
  std::string text;
};

// Selects the folder called name among the desktop's folders in a folder browser's tree (the
// browser opens on the desktop); false when there is none.
bool SelectDesktopFolder(HWND tree, std::wstring_view name);

class DialogUser {
 public:
  DialogUser();
  ~DialogUser();
  DialogUser(const DialogUser&) = delete;
  DialogUser& operator=(const DialogUser&) = delete;

  // The next file-open dialog chooses these files of folder (UTF-8 names).
  void ChooseFiles(std::string folder, std::vector<std::string> names);
  // Drops the file choices no dialog took (the control refused before opening one).
  void ForgetChoices() { fileChoices_.clear(); }
  // Called with each message box as it is read, before it is confirmed.
  void OnMessage(std::function<void(const SeenMessage&)> observer) {
    onMessage_ = std::move(observer);
  }
  // The next folder browser chooses this folder of the desktop (its UTF-8 name).
  void ChooseDesktopFolder(std::string name);
  // The next window of this thread whose title starts so (a transfer window) is closed by its
  // close box once it shows.
  void CloseWindowTitled(std::string titleStart);
  // The next window of this thread whose title starts so gets act called once it shows (from
  // inside the loop that shows it).
  void WhenWindowShows(std::string titleStart, std::function<void(HWND)> act);

  // Message boxes read so far, in order.
  const std::vector<SeenMessage>& Messages() const { return messages_; }
  // File dialogs cancelled because no choice was queued.
  int CancelledFileDialogs() const { return cancelledFileDialogs_; }
  // Windows closed by their close box so far.
  int ClosedWindows() const { return closedWindows_; }

 private:
  struct FileChoice {
    std::wstring folder;
    std::wstring names;  // "a.txt" "b.txt"
  };
  static void CALLBACK Tick(HWND, UINT, UINT_PTR timer, DWORD);
  void Look();
  void Answer(HWND dialog);
  void AnswerFolderBrowser(HWND dialog, HWND tree);

  UINT_PTR timer_ = 0;
  std::deque<FileChoice> fileChoices_;
  std::deque<std::wstring> folderChoices_;
  struct WindowAction {
    std::wstring titleStart;
    std::function<void(HWND)> act;
  };
  std::vector<WindowAction> windowActions_;
  std::vector<SeenMessage> messages_;
  std::function<void(const SeenMessage&)> onMessage_;
  int cancelledFileDialogs_ = 0;
  int closedWindows_ = 0;
  HWND enteredFolderOf_ = nullptr;  // a file dialog already taken into its folder
};

}  // namespace veldrask::container
