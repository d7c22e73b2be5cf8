#include "headless/progress_bar.h"

#include <utility>

#include "base/error.h"

namespace veldrask::headless {

HeadlessProgressBar::HeadlessProgressBar(HeadlessUi& ui, HeadlessForm& form, std::string name,
                                         HeadlessWidget* container, Bounds bounds)
    : HeadlessWidget(ui, form, WidgetKind::kProgressBar, std::move(name), container, "", bounds) {}

void HeadlessProgressBar::SetValue(std::int32_t value) {
  if (value < minimum_ || value > maximum_) throw Error(ErrorNumber::kInvalidArgument);
  StoreValue(value);
}

}  // namespace veldrask::headless
