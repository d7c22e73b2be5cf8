#include "poll_limit_timer.h"

#include <sys/timerfd.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <system_error>
#include <utility>

namespace veldrask::host {
namespace {

// A one-shot timer on a timerfd that the loop watches.
class PollLoopTimer final : public LimitTimer {
 public:
  PollLoopTimer(posix::PollEventLoop& loop, std::function<void()> onFire) : loop_(loop) {
    fd_ = ::timerfd_create(CLOCK_MONOTONIC, TFD_NONBLOCK | TFD_CLOEXEC);
    if (fd_ < 0) throw std::system_error(errno, std::generic_category(), "timerfd_create");
    watch_ = loop_.Watch(fd_, posix::io_event::kReadable,
                         [this, fire = std::move(onFire)](posix::IoEventMask) {
                           std::uint64_t count = 0;
                           if (::read(fd_, &count, sizeof count) == sizeof count) fire();
                         });
  }
  ~PollLoopTimer() override {
    loop_.Unwatch(watch_);
    ::close(fd_);
  }
  PollLoopTimer(const PollLoopTimer&) = delete;
  PollLoopTimer& operator=(const PollLoopTimer&) = delete;

  void Arm(std::chrono::milliseconds after) override { Set(after.count() > 0 ? after : Minimum()); }
  void Disarm() override { Set(std::chrono::milliseconds(0)); }

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

}  // namespace

LimitTimerMaker PollLoopTimers(posix::PollEventLoop& loop) {
  return [&loop](std::function<void()> onFire) -> std::unique_ptr<LimitTimer> {
    return std::make_unique<PollLoopTimer>(loop, std::move(onFire));
  };
}

}  // namespace veldrask::host
