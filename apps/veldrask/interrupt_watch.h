#pragma once

#include <array>
#include <csignal>
#include <functional>

#include "posix/poll_event_loop.h"

namespace veldrask::host {

// Ctrl-C, and SIGTERM and SIGHUP (a kill, a closed terminal), as the user's own close. The
// handler only notes the signal and writes a byte to a pipe that the event loop watches; the
// loop then calls onInterrupt like any other event, so the control sees the interruption where
// it waits for events, never inside its own code and its files are cleaned up as on any close.
// A second signal of the same kind ends the process at once. One instance at a time.
class InterruptWatch {
 public:
  InterruptWatch(posix::PollEventLoop& loop, std::function<void()> onInterrupt);
  ~InterruptWatch();
  InterruptWatch(const InterruptWatch&) = delete;
  InterruptWatch& operator=(const InterruptWatch&) = delete;

  // One of the signals came (the loop need not have run since).
  static bool Interrupted();
  // The exit status that tells how: 128 + the first signal's number (130 for Ctrl-C).
  static int ExitStatus();

 private:
  void Drain();

  posix::PollEventLoop& loop_;
  std::function<void()> onInterrupt_;
  posix::WatchId watch_ = posix::kNoWatch;
  static constexpr std::array<int, 3> kSignals = {SIGINT, SIGTERM, SIGHUP};
  std::array<struct sigaction, kSignals.size()> previous_{};
};

}  // namespace veldrask::host
