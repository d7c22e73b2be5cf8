#pragma once

// The control's transfer windows as the console follows them: each file the window's list
// marks done or failed is printed once, as a line "완료  NAME (SIZE Bytes)", the way the POSIX
// host prints them when stderr is no terminal. The list is read from the window itself, by a
// thread timer while it is open and once more as its list is destroyed, so no last row is
// missed.

#include <windows.h>

#include <string>

#include "console.h"

namespace veldrask::host {

class FinishedRows {
 public:
  // page: the page window, whose own list is no transfer window's.
  FinishedRows(Console& console, HWND page);
  ~FinishedRows();
  FinishedRows(const FinishedRows&) = delete;
  FinishedRows& operator=(const FinishedRows&) = delete;

  // Prints the rows finished so far (before a message box, which may follow them).
  void Report();

 private:
  static void CALLBACK Tick(HWND, UINT, UINT_PTR, DWORD);
  static LRESULT CALLBACK WindowHook(int code, WPARAM window, LPARAM details);
  void ReportFrom(HWND window);
  void ReportList(HWND list);
  // A window of this thread is being destroyed.
  void Ending(HWND window);
  // A top-level window of this thread other than the page, with a list.
  bool IsTransferWindow(HWND window) const;

  Console& console_;
  HWND page_;
  HWND window_ = nullptr;  // the transfer window being followed
  int nextRow_ = 0;
  bool closing_ = false;  // closed for Ctrl-C
  UINT_PTR timer_ = 0;
  HHOOK hook_ = nullptr;
};

}  // namespace veldrask::host
