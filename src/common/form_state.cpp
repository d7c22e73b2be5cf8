#include "common/form_state.h"

namespace veldrask {

bool StartsVisible(WidgetKind kind) {
  return kind != WidgetKind::kForm && kind != WidgetKind::kImageList &&
         kind != WidgetKind::kFileDialog;
}

void FormState::Open(const std::function<void()>& show) {
  open_ = true;
  closeStarted_ = false;
  show();
  if (onActivate_) onActivate_();
}

void FormState::Close(const std::function<void()>& hide) {
  if (closeStarted_) return;
  closeStarted_ = true;
  const auto finish = [&] {
    open_ = false;
    hide();
  };
  if (onClose_) {
    try {
      onClose_();
    } catch (...) {
      finish();
      throw;
    }
  }
  finish();
}

void FormState::WaitWhileOpen(EventLoop& loop, const std::function<void()>& close) const {
  if (open_ && loop.WaitUntil([this] { return !open_; }) == WaitOutcome::kLoopEnding) close();
}

}  // namespace veldrask
