#pragma once

#include <functional>

namespace veldrask {

// How a wait ended: its condition came true, or the loop is ending (the application or the
// browser is shutting down) and no more events will come. A window treats the loop's ending
// as the user closing it.
enum class [[nodiscard]] WaitOutcome{kDone, kLoopEnding};

// The one thread's event processing. Socket events, posted tasks and user actions are
// delivered from here, nested inside the waits of the transfer windows.
class EventLoop {
 public:
  virtual ~EventLoop() = default;

  // Handles events that are ready now and returns without blocking, after bounded work: the
  // events that were ready when it was called, or fewer when the backend cannot tell them
  // from later ones and stops at its own fixed count instead. What becomes ready meanwhile
  // (a task that posts itself again included) is left to the next call or wait.
  virtual void ProcessPendingEvents() = 0;

  // Handles events until done() holds, blocking in the operating system between events
  // (never spinning). done() is tested before the first wait and after each event. Once the
  // loop is ending, a wait whose condition does not hold returns kLoopEnding, this one and
  // every later one.
  [[nodiscard]] virtual WaitOutcome WaitUntil(const std::function<bool()>& done) = 0;

  // Runs task from the loop, after the current event; never re-entrantly from Post.
  virtual void Post(std::function<void()> task) = 0;
};

}  // namespace veldrask
