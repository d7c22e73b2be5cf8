#pragma once

#include <chrono>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "limit_timer.h"

namespace veldrask::host {

// The time limits a user may set on a transfer. Unset limits never end it.
struct TimeLimitSettings {
  std::optional<std::chrono::milliseconds> connect;  // --connect-timeout: each connection
  std::optional<std::chrono::milliseconds> total;    // --max-time: the whole command
  std::optional<std::chrono::milliseconds> stall;    // --speed-time: no byte moved
};

// Which limit ended a transfer.
enum class TimeLimit { kConnect, kTotal, kStall };

// Watches the limits with timers on the event loop the control waits in, so that the one that
// passes first reaches the control as an event, as the user's click on the window's close box
// would; onExpired then closes the transfer window.
class TimeLimits {
 public:
  TimeLimits(const LimitTimerMaker& makeTimer, const TimeLimitSettings& settings,
             std::function<void()> onExpired);
  ~TimeLimits();
  TimeLimits(const TimeLimits&) = delete;
  TimeLimits& operator=(const TimeLimits&) = delete;

  // The command's transfer begins: the total limit starts.
  void Start();
  void Connecting();
  void Connected();
  // Bytes moved: cheap, since it comes for every arrival.
  void Progress();
  // The transfer window closed: only the total limit goes on.
  void WindowEnded();

  std::optional<TimeLimit> Expired() const { return expired_; }
  const TimeLimitSettings& Settings() const { return settings_; }

 private:
  using Clock = std::chrono::steady_clock;
  void StallTimerFired();
  void Expire(TimeLimit limit);

  std::function<void()> onExpired_;
  TimeLimitSettings settings_;
  std::optional<TimeLimit> expired_;
  std::unique_ptr<LimitTimer> connect_;
  std::unique_ptr<LimitTimer> total_;
  std::unique_ptr<LimitTimer> stall_;
  // The stall timer runs from the last byte moved; rather than re-armed for each arrival it is
  // checked when it fires.
  bool stallArmed_ = false;
  Clock::time_point lastMoved_;
};

// The option that sets limit, for messages.
std::string_view LimitOption(TimeLimit limit);
// What the host says when limit ended the command: "veldrask: stopped by OPTION: why".
std::string StoppedByText(TimeLimit limit, const TimeLimitSettings& settings);

}  // namespace veldrask::host
