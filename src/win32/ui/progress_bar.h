#pragma once

#include <cstdint>
#include <string>

#include "win32/ui/widget.h"

namespace veldrask::win32 {

// A progress bar, 0 to 100 at first. A value outside the range raises "invalid argument", as
// the bar refuses it.
class Win32ProgressBar : public Win32Widget, public ProgressBar {
 public:
  Win32ProgressBar(Win32Form& form, std::string name, Win32Container& container, Bounds bounds);

  void SetValue(std::int32_t value) override;
  std::int32_t Minimum() const override { return minimum_; }
  std::int32_t Maximum() const override { return maximum_; }
  void SetMinimum(std::int32_t minimum) override;
  void SetMaximum(std::int32_t maximum) override;

 private:
  void ApplyRange() const;

  std::int32_t minimum_ = 0;
  std::int32_t maximum_ = 100;
};

}  // namespace veldrask::win32
