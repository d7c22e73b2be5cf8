#pragma once

#include <chrono>
#include <functional>
#include <memory>

namespace veldrask::host {

// A one-shot timer on the event loop the control waits in, so that it fires as an event there.
class LimitTimer {
 public:
  virtual ~LimitTimer() = default;
  // Fires once, after at least after (re-arming replaces the earlier time).
  virtual void Arm(std::chrono::milliseconds after) = 0;
  virtual void Disarm() = 0;
};

// Makes a timer that calls onFire when it fires; each platform's host has one.
using LimitTimerMaker = std::function<std::unique_ptr<LimitTimer>(std::function<void()> onFire)>;

}  // namespace veldrask::host
