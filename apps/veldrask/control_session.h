#pragma once

#include <cstddef>
#include <optional>
#include <string>

#include "console.h"
#include "control/uploader_control.h"
#include "headless/form.h"
#include "host_ui.h"
#include "interrupt_watch.h"
#include "page_host.h"
#include "posix/posix_platform.h"
#include "transfer_progress.h"

namespace veldrask::host {

// One control embedded in the command line's page: the POSIX platform, the in-memory user
// interface with its messages printed on the console, the progress drawing, Ctrl-C as the
// user closing a transfer window, and the control itself.
class ControlSession {
 public:
  // drawProgress false draws no progress at all (--quiet).
  ControlSession(Console& console, std::string cookie, bool drawProgress);
  ~ControlSession();
  ControlSession(const ControlSession&) = delete;
  ControlSession& operator=(const ControlSession&) = delete;

  UploaderControl& Control() { return control_; }
  HostUi& Ui() { return ui_; }
  // The control's own surface, where the user clicks.
  headless::HeadlessForm& Surface();

  // The control showed a message box (a refusal or a failure).
  bool MessageShown() const { return messageCount_ > 0; }
  bool Interrupted() const { return InterruptWatch::Interrupted(); }

 private:
  void ShowMessage(const headless::MessageRecord& message);
  // Once per run: a damaged registry file was kept aside before a write replaced it.
  void NoteDamagedHive(const std::string& keptPath);
  void WindowShown(headless::HeadlessForm& form);
  // The user closes the open transfer window, through the event loop.
  void PostUserClose(std::string_view formName);

  Console& console_;
  posix::PosixPlatform posix_;
  HostUi ui_;
  Platform platform_;
  PageHost page_;
  std::optional<ProgressReporter> progress_;
  InterruptWatch interrupts_;
  std::size_t messageCount_ = 0;
  bool damagedHiveNoted_ = false;
  // Last, so it goes first: its forms must go before the user interface.
  UploaderControl control_;
};

}  // namespace veldrask::host
