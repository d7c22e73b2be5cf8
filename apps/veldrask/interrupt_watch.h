#pragma once

#include <csignal>
#include <functional>

#include "posix/poll_event_loop.h"

namespace veldrask::host {

// Ctrl-C as a user's action. The SIGINT handler only sets a flag and writes a byte to a pipe
// that the event loop watches; the loop then calls onInterrupt like any other event, so the
// control sees the interruption where it waits for events, never inside its own code. A
// second Ctrl-C ends the process at once. One instance at a time.
class InterruptWatch {
 public:
  InterruptWatch(posix::PollEventLoop& loop, std::function<void()> onInterrupt);
  ~InterruptWatch();
  InterruptWatch(const InterruptWatch&) = delete;
  InterruptWatch& operator=(const InterruptWatch&) = delete;

  // Ctrl-C was pressed (the loop need not have run since).
  static bool Interrupted();

 private:
  void Drain();

  posix::PollEventLoop& loop_;
  std::function<void()> onInterrupt_;
  posix::WatchId watch_ = posix::kNoWatch;
  struct sigaction previous_ {};
};

}  // namespace veldrask::host
