#include "console_interrupt.h"

#include <atomic>
#include <iterator>
#include <string_view>

namespace veldrask::host {
namespace {

std::atomic<bool> interrupted{false};
std::atomic<DWORD> windowThread{0};

// The control's modal windows are the thread's visible top-level windows with an owner;
// dialogsToo says whether dialog boxes (message boxes among them) count.
BOOL CALLBACK CloseModalWindow(HWND window, LPARAM dialogsToo) {
  if (!IsWindowVisible(window) || GetWindow(window, GW_OWNER) == nullptr) return TRUE;
  wchar_t className[16] = {};
  GetClassNameW(window, className, static_cast<int>(std::size(className)));
  if (dialogsToo != 0 || std::wstring_view(className) != L"#32770") {
    ConsoleInterrupt::CloseAsTheUser(window);
  }
  return TRUE;
}

// Runs on a thread of its own: it only posts to the control's thread.
BOOL WINAPI OnControlEvent(DWORD event) {
  if (event != CTRL_C_EVENT && event != CTRL_BREAK_EVENT) return FALSE;
  interrupted = true;
  ConsoleInterrupt::CloseModalWindows(windowThread, true);
  return TRUE;
}

}  // namespace

ConsoleInterrupt::ConsoleInterrupt(DWORD thread) {
  windowThread = thread;
  SetConsoleCtrlHandler(OnControlEvent, TRUE);
}

ConsoleInterrupt::~ConsoleInterrupt() {
  SetConsoleCtrlHandler(OnControlEvent, FALSE);
}

bool ConsoleInterrupt::Interrupted() {
  return interrupted;
}

void ConsoleInterrupt::CloseAsTheUser(HWND window) {
  PostMessageW(window, WM_SYSCOMMAND, SC_CLOSE, 0);
}

void ConsoleInterrupt::CloseModalWindows(DWORD thread, bool dialogsToo) {
  EnumThreadWindows(thread, CloseModalWindow, dialogsToo ? 1 : 0);
}

}  // namespace veldrask::host
