#include "host_ui.h"

#include <utility>

namespace veldrask::host {
namespace {

class HostForm final : public headless::HeadlessForm {
 public:
  HostForm(HostUi& ui, std::string name, std::string_view caption, Bounds clientSize,
           FormPlacement placement)
      : HeadlessForm(ui, std::move(name), caption, clientSize, placement), hostUi_(ui) {}
  ~HostForm() override { hostUi_.ReportFormEnded(*this); }

  void Close() override {
    const bool wasOpen = IsOpen();
    HeadlessForm::Close();
    if (wasOpen && !IsOpen()) hostUi_.ReportFormEnded(*this);
  }

 private:
  HostUi& hostUi_;
};

}  // namespace

std::unique_ptr<Form> HostUi::CreateForm(std::string name, std::string_view caption,
                                         Bounds clientSize, FormPlacement placement) {
  return std::make_unique<HostForm>(*this, std::move(name), caption, clientSize, placement);
}

}  // namespace veldrask::host
