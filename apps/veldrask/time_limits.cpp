#include "time_limits.h"

#include <sys/timerfd.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <system_error>
#include <utility>

namespace veldrask::host {

// One one-shot timer on a timerfd that the loop watches.
class TimeLimits::Timer {
 public:
  Timer(posix::PollEventLoop& loop, std::function<void()> onFire) : loop_(loop) {
    fd_ = ::timerfd_create(CLOCK_MONOTONIC, TFD_NONBLOCK | TFD_CLOEXEC);
    if (fd_ < 0) throw std::system_error(errno, std::generic_category(), "timerfd_create");
    watch_ = loop_.Watch(fd_, posix::io_event::kReadable,
                         [this, fire = std::move(onFire)](posix::IoEventMask) {
                           std::uint64_t count = 0;
                           if (::read(fd_, &count, sizeof count) == sizeof count) fire();
                         });
  }
  ~Timer() {
    loop_.Unwatch(watch_);
    ::close(fd_);
  }
  Timer(const Timer&) = delete;
  Timer& operator=(const Timer&) = delete;

  void Arm(std::chrono::milliseconds after) { Set(after.count() > 0 ? after : Minimum()); }
  void Disarm() { Set(std::chrono::milliseconds(0)); }

 private:
  static std::chrono::milliseconds Minimum() { return std::chrono::milliseconds(1); }
  void Set(std::chrono::milliseconds after) {
    itimerspec setting{};
    setting.it_value.tv_sec = static_cast<time_t>(after.count() / 1000);
    setting.it_value.tv_nsec = static_cast<long>(after.count() % 1000) * 1'000'000;
    ::timerfd_settime(fd_, 0, &setting, nullptr);
  }

  posix::PollEventLoop& loop_;
  int fd_ = -1;
  posix::WatchId watch_ = posix::kNoWatch;
};

TimeLimits::TimeLimits(posix::PollEventLoop& loop, const TimeLimitSettings& settings,
                       std::function<void()> onExpired)
    : onExpired_(std::move(onExpired)), settings_(settings) {
  if (settings.connect) {
    connect_ = std::make_unique<Timer>(loop, [this] { Expire(TimeLimit::kConnect); });
  }
  if (settings.total) {
    total_ = std::make_unique<Timer>(loop, [this] { Expire(TimeLimit::kTotal); });
  }
  if (settings.stall) {
    stall_ = std::make_unique<Timer>(loop, [this] { Expire(TimeLimit::kStall); });
  }
}

TimeLimits::~TimeLimits() = default;

void TimeLimits::Start() {
  if (total_) total_->Arm(*settings_.total);
}

void TimeLimits::Connecting() {
  if (connect_) connect_->Arm(*settings_.connect);
  Progress();
}

void TimeLimits::Connected() {
  if (connect_) connect_->Disarm();
  Progress();
}

void TimeLimits::Progress() {
  if (stall_) stall_->Arm(*settings_.stall);
}

void TimeLimits::WindowEnded() {
  if (connect_) connect_->Disarm();
  if (stall_) stall_->Disarm();
}

void TimeLimits::Expire(TimeLimit limit) {
  if (expired_) return;
  expired_ = limit;
  WindowEnded();
  if (total_) total_->Disarm();
  if (onExpired_) onExpired_();
}

std::string_view LimitOption(TimeLimit limit) {
  switch (limit) {
    case TimeLimit::kConnect:
      return "--connect-timeout";
    case TimeLimit::kTotal:
      return "--max-time";
    case TimeLimit::kStall:
      return "--speed-time";
  }
  return "";
}

}  // namespace veldrask::host
