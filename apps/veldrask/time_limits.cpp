#include "time_limits.h"

#include <utility>

namespace veldrask::host {
namespace {

std::string Seconds(std::optional<std::chrono::milliseconds> limit) {
  const auto ms = limit.value_or(std::chrono::milliseconds(0)).count();
  std::string text = std::to_string(ms / 1000);
  if (ms % 1000 != 0) {
    std::string fraction = std::to_string(1000 + ms % 1000).substr(1);
    while (fraction.back() == '0') fraction.pop_back();
    text += "." + fraction;
  }
  return text + " s";
}

}  // namespace

TimeLimits::TimeLimits(const LimitTimerMaker& makeTimer, const TimeLimitSettings& settings,
                       std::function<void()> onExpired)
    : onExpired_(std::move(onExpired)), settings_(settings) {
  if (settings.connect) connect_ = makeTimer([this] { Expire(TimeLimit::kConnect); });
  if (settings.total) total_ = makeTimer([this] { Expire(TimeLimit::kTotal); });
  if (settings.stall) stall_ = makeTimer([this] { StallTimerFired(); });
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
  if (!stall_ || expired_) return;
  lastMoved_ = Clock::now();
  if (stallArmed_) return;
  stallArmed_ = true;
  stall_->Arm(*settings_.stall);
}

void TimeLimits::StallTimerFired() {
  stallArmed_ = false;
  const auto still =
      std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - lastMoved_);
  if (still >= *settings_.stall) return Expire(TimeLimit::kStall);
  stallArmed_ = true;
  stall_->Arm(*settings_.stall - still);
}

void TimeLimits::WindowEnded() {
  if (connect_) connect_->Disarm();
  if (stall_) stall_->Disarm();
  stallArmed_ = false;
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

std::string StoppedByText(TimeLimit limit, const TimeLimitSettings& settings) {
  std::string why;
  switch (limit) {
    case TimeLimit::kConnect:
      why = "no connection within " + Seconds(settings.connect);
      break;
    case TimeLimit::kTotal:
      why = "the transfer took longer than " + Seconds(settings.total);
      break;
    case TimeLimit::kStall:
      why = "no byte moved for " + Seconds(settings.stall);
      break;
  }
  return "veldrask: stopped by " + std::string(LimitOption(limit)) + ": " + why;
}

}  // namespace veldrask::host
