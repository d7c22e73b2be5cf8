#include "thread_limit_timer.h"

#include <windows.h>

#include <algorithm>
#include <map>
#include <utility>

namespace veldrask::host {
namespace {

class ThreadTimer final : public LimitTimer {
 public:
  explicit ThreadTimer(std::function<void()> onFire) : onFire_(std::move(onFire)) {}
  ~ThreadTimer() override { Disarm(); }
  ThreadTimer(const ThreadTimer&) = delete;
  ThreadTimer& operator=(const ThreadTimer&) = delete;

  void Arm(std::chrono::milliseconds after) override {
    Disarm();
    const auto ms = static_cast<UINT>(std::clamp<std::chrono::milliseconds::rep>(
        after.count(), USER_TIMER_MINIMUM, USER_TIMER_MAXIMUM));
    id_ = SetTimer(nullptr, 0, ms, &Fired);
    if (id_ != 0) Armed()[id_] = this;
  }

  void Disarm() override {
    if (id_ == 0) return;
    KillTimer(nullptr, id_);
    Armed().erase(id_);
    id_ = 0;
  }

 private:
  // A thread timer's procedure gets no context but its id.
  static std::map<UINT_PTR, ThreadTimer*>& Armed() {
    static std::map<UINT_PTR, ThreadTimer*> armed;
    return armed;
  }

  static void CALLBACK Fired(HWND, UINT, UINT_PTR id, DWORD) {
    const auto found = Armed().find(id);
    if (found == Armed().end()) {
      KillTimer(nullptr, id);
      return;
    }
    ThreadTimer& timer = *found->second;
    timer.Disarm();  // one shot; onFire may arm it again
    timer.onFire_();
  }

  std::function<void()> onFire_;
  UINT_PTR id_ = 0;
};

}  // namespace

LimitTimerMaker ThreadTimers() {
  return [](std::function<void()> onFire) -> std::unique_ptr<LimitTimer> {
    return std::make_unique<ThreadTimer>(std::move(onFire));
  };
}

}  // namespace veldrask::host
