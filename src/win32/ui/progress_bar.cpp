#include "win32/ui/progress_bar.h"

#include <commctrl.h>

#include "base/error.h"

namespace veldrask::win32 {

Win32ProgressBar::Win32ProgressBar(Win32Form& form, std::string name, Win32Container& container,
                                   Bounds bounds)
    : Win32Widget(form, WidgetKind::kProgressBar, std::move(name), &container, "", bounds) {
  CreateChild(PROGRESS_CLASSW, 0, 0);
  ApplyRange();
}

void Win32ProgressBar::SetValue(std::int32_t value) {
  if (value < minimum_ || value > maximum_) throw Error(ErrorNumber::kInvalidArgument);
  Win32Widget::SetValue(value);
  SendMessageW(Window(), PBM_SETPOS, static_cast<WPARAM>(value), 0);
}

void Win32ProgressBar::SetMinimum(std::int32_t minimum) {
  minimum_ = minimum;
  ApplyRange();
}

void Win32ProgressBar::SetMaximum(std::int32_t maximum) {
  maximum_ = maximum;
  ApplyRange();
}

void Win32ProgressBar::ApplyRange() const {
  SendMessageW(Window(), PBM_SETRANGE32, static_cast<WPARAM>(minimum_), maximum_);
}

}  // namespace veldrask::win32
