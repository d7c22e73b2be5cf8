#pragma once

#include <functional>
#include <memory>
#include <string>
#include <string_view>

#include "headless/form.h"
#include "headless/headless_ui.h"

namespace veldrask::host {

// The in-memory user interface that also tells the host when a form's window has gone: the
// progress drawing needs the final state of a transfer window, which lives only until the
// control destroys it.
class HostUi : public headless::HeadlessUi {
 public:
  using FormEnded = std::function<void(headless::HeadlessForm&)>;

  using HeadlessUi::HeadlessUi;

  std::unique_ptr<Form> CreateForm(std::string name, std::string_view caption, Bounds clientSize,
                                   FormPlacement placement) override;

  // fn runs once a form has closed, and again (harmlessly) when it is destroyed.
  void SetOnFormEnded(FormEnded fn) { onFormEnded_ = std::move(fn); }
  void ReportFormEnded(headless::HeadlessForm& form) const {
    if (onFormEnded_) onFormEnded_(form);
  }

 private:
  FormEnded onFormEnded_;
};

}  // namespace veldrask::host
