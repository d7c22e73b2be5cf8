#pragma once

#include <cstdint>
#include <string>

#include "headless/widget.h"
#include "platform/ui.h"

namespace veldrask::headless {

// A progress bar in memory: 0 to 100 at first. A value outside the range raises "invalid
// argument", as the real bar refuses it.
class HeadlessProgressBar : public HeadlessWidget, public ProgressBar {
 public:
  HeadlessProgressBar(HeadlessUi& ui, HeadlessForm& form, std::string name,
                      HeadlessWidget* container, Bounds bounds);

  void SetValue(std::int32_t value) override;

  std::int32_t Minimum() const override { return minimum_; }
  std::int32_t Maximum() const override { return maximum_; }
  void SetMinimum(std::int32_t minimum) override { minimum_ = minimum; }
  void SetMaximum(std::int32_t maximum) override { maximum_ = maximum; }

 private:
  std::int32_t minimum_ = 0;
  std::int32_t maximum_ = 100;
};

}  // namespace veldrask::headless
