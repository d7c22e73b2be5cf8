#pragma once

#include <windows.h>

#include <deque>
#include <functional>

#include "platform/event_loop.h"

namespace veldrask::testing {

// The thread's message loop as an EventLoop, for the window tests: posted tasks wake a
// message-only window, so they also run inside the system's modal loops (dialogs).
class MessagePump : public EventLoop {
 public:
  MessagePump();
  ~MessagePump() override;
  MessagePump(const MessagePump&) = delete;
  MessagePump& operator=(const MessagePump&) = delete;

  void ProcessPendingEvents() override;
  WaitOutcome WaitUntil(const std::function<bool()>& done) override;
  void Post(std::function<void()> task) override;

 private:
  static LRESULT CALLBACK WakeProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  void RunTasks();

  HWND wake_;
  std::deque<std::function<void()>> tasks_;
};

}  // namespace veldrask::testing
