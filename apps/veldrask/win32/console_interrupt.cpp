#include "console_interrupt.h"

#include <atomic>

namespace veldrask::host {
namespace {

std::atomic<bool> interrupted{false};
std::atomic<DWORD> windowThread{0};

BOOL CALLBACK CloseTransferWindow(HWND window, LPARAM) {
  // The control's modal windows are the thread's visible top-level windows with an owner.
  if (IsWindowVisible(window) && GetWindow(window, GW_OWNER) != nullptr) {
    ConsoleInterrupt::CloseAsTheUser(window);
  }
  return TRUE;
}

// Runs on a thread of its own: it only posts to the control's thread.
BOOL WINAPI OnControlEvent(DWORD event) {
  if (event != CTRL_C_EVENT && event != CTRL_BREAK_EVENT) return FALSE;
  interrupted = true;
  EnumThreadWindows(windowThread, CloseTransferWindow, 0);
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

}  // namespace veldrask::host
