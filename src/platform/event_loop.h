#pragma once

#include <functional>

namespace veldrask {

// The one thread's event processing. Socket events, posted tasks and user actions are
// delivered from here, nested inside the waits of the transfer windows.
class EventLoop {
 public:
  virtual ~EventLoop() = default;

  // Handles every event that is ready now; never blocks.
  virtual void ProcessPendingEvents() = 0;

  // Handles events until done() holds, blocking in the operating system between events
  // (never spinning). done() is tested before the first wait and after each event.
  virtual void WaitUntil(const std::function<bool()>& done) = 0;

  // Runs task from the loop, after the current event; never re-entrantly from Post.
  virtual void Post(std::function<void()> task) = 0;
};

}  // namespace veldrask
