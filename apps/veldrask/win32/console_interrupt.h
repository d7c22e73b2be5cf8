#pragma once

// Ctrl-C and Ctrl-Break as the user closing the open transfer window, as the POSIX host
// treats SIGINT: the window closes through its close box, the control finishes what it
// finished, and the program exits 130.

#include <windows.h>

namespace veldrask::host {

class ConsoleInterrupt {
 public:
  // thread: the thread whose windows the control shows.
  explicit ConsoleInterrupt(DWORD thread);
  ~ConsoleInterrupt();
  ConsoleInterrupt(const ConsoleInterrupt&) = delete;
  ConsoleInterrupt& operator=(const ConsoleInterrupt&) = delete;

  static bool Interrupted();
  static constexpr int kExitStatus = 130;  // 128 + SIGINT, as on POSIX

  // Closes window through its close box, as the user does.
  static void CloseAsTheUser(HWND window);
  // Closes the control's modal windows on thread as the user does; dialog boxes (a message box
  // the user is to read and answer) only when dialogsToo.
  static void CloseModalWindows(DWORD thread, bool dialogsToo);
};

}  // namespace veldrask::host
