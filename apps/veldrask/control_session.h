#pragma once

#include <cstddef>
#include <optional>
#include <string>

#include "console.h"
#include "control/uploader_control.h"
#include "exchange_follower.h"
#include "headless/form.h"
#include "host_ui.h"
#include "interrupt_watch.h"
#include "page_host.h"
#include "posix/posix_platform.h"
#include "time_limits.h"
#include "transfer_progress.h"

namespace veldrask::host {

// One control embedded in the command line's page: the POSIX platform, the in-memory user
// interface with its messages printed on the console, the progress drawing, Ctrl-C as the
// user closing a transfer window, and the control itself.
struct SessionSettings {
  std::string cookie;
  bool drawProgress = true;  // false draws no progress at all (--quiet)
  bool verbose = false;      // the heads of every exchange on the console
  TimeLimitSettings limits;
  posix::TlsTrust tlsTrust;
};

class ControlSession {
 public:
  // Throws UsageError when the TLS trust's certificate file cannot be read.
  ControlSession(Console& console, const SessionSettings& settings);
  ~ControlSession();
  ControlSession(const ControlSession&) = delete;
  ControlSession& operator=(const ControlSession&) = delete;

  UploaderControl& Control() { return *control_; }
  HostUi& Ui() { return ui_; }
  // The control's own surface, where the user clicks.
  headless::HeadlessForm& Surface();

  // The control showed a message box (a refusal or a failure).
  bool MessageShown() const { return messageCount_ > 0; }
  std::size_t MessageCount() const { return messageCount_; }
  // Before a retry: the messages of the failed try no longer count (they were printed).
  void ForgetMessagesSince(std::size_t count) { messageCount_ = count; }
  // Where the host's own messages go.
  Console& Output() { return console_; }
  bool Interrupted() const { return InterruptWatch::Interrupted(); }
  // The time limit that ended the transfer, if one did.
  std::optional<TimeLimit> TimedOut() const { return limits_.Expired(); }
  const TimeLimits& Limits() const { return limits_; }
  // The command's transfer begins (the total time limit starts).
  void StartClock() { limits_.Start(); }
  ExchangeFollower& Exchange() { return exchange_; }

 private:
  void ShowMessage(const headless::MessageRecord& message);
  // Once per run: a damaged registry file was kept aside before a write replaced it.
  void NoteDamagedHive(const std::string& keptPath);
  void WindowShown(headless::HeadlessForm& form);
  // The user closes the open transfer window, through the event loop.
  void PostUserClose(std::string_view formName);
  void CloseTransferWindows();

  Console& console_;
  posix::PosixPlatform posix_;
  HostUi ui_;
  Platform platform_;
  PageHost page_;
  std::optional<ProgressReporter> progress_;
  InterruptWatch interrupts_;
  TimeLimits limits_;
  ExchangeFollower exchange_;
  std::size_t messageCount_ = 0;
  bool damagedHiveNoted_ = false;
  // Last, so it goes first: its forms must go before the user interface.
  std::optional<UploaderControl> control_;
};

}  // namespace veldrask::host
