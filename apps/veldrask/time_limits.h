#pragma once

#include <chrono>
#include <functional>
#include <optional>
#include <string_view>

#include "posix/poll_event_loop.h"

namespace veldrask::host {

// The time limits a user may set on a transfer. Unset limits never end it.
struct TimeLimitSettings {
  std::optional<std::chrono::milliseconds> connect;  // --connect-timeout: each connection
  std::optional<std::chrono::milliseconds> total;    // --max-time: the whole command
  std::optional<std::chrono::milliseconds> stall;    // --speed-time: no byte moved
};

// Which limit ended a transfer.
enum class TimeLimit { kConnect, kTotal, kStall };

// Watches the limits on the event loop, so that the one that passes first reaches the
// control as an event, as the user's click on the window's close box would; onExpired then
// closes the transfer window.
class TimeLimits {
 public:
  TimeLimits(posix::PollEventLoop& loop, const TimeLimitSettings& settings,
             std::function<void()> onExpired);
  ~TimeLimits();
  TimeLimits(const TimeLimits&) = delete;
  TimeLimits& operator=(const TimeLimits&) = delete;

  // The command's transfer begins: the total limit starts.
  void Start();
  void Connecting();
  void Connected();
  void Progress();
  // The transfer window closed: only the total limit goes on.
  void WindowEnded();

  std::optional<TimeLimit> Expired() const { return expired_; }

 private:
  class Timer;
  void Expire(TimeLimit limit);

  std::function<void()> onExpired_;
  TimeLimitSettings settings_;
  std::optional<TimeLimit> expired_;
  std::unique_ptr<Timer> connect_;
  std::unique_ptr<Timer> total_;
  std::unique_ptr<Timer> stall_;
};

// The option that sets limit, for messages.
std::string_view LimitOption(TimeLimit limit);

}  // namespace veldrask::host
