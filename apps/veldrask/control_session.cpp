#include "control_session.h"

#include <cstring>

#include "exit_status.h"
#include "options.h"
#include "poll_limit_timer.h"
#include "terminal_text.h"

namespace veldrask::host {

ControlSession::ControlSession(Console& console, const SessionSettings& settings)
    : console_(console),
      ui_(posix_.Loop()),
      platform_(posix_.Bind(ui_)),
      page_(console, settings.cookie, !settings.drawProgress),
      interrupts_(posix_.Loop(), [this] { CloseTransferWindows(); }),
      limits_(PollLoopTimers(posix_.Loop()), settings.limits, [this] { CloseTransferWindows(); }),
      exchange_(console, settings.verbose, &limits_) {
  // Before the control starts, whose first run writes the download folder.
  posix_.Registry().SetOnDamagedHiveKept(
      [this](const std::string& kept) { NoteDamagedHive(kept); });
  posix_.Registry().SetOnHiveWriteFailed([this](const std::string& path, int error) {
    console_.Print("veldrask: the registry file " + path + " could not be written (" +
                   std::strerror(error) + "); the setting is not kept");
  });
  control_.emplace(platform_, page_);
  // OpenSSL is started only for a TLS connection unless the trust was set on the command line.
  const posix::TlsTrust systemTrust;
  try {
    if (!settings.tlsTrust.extraCertificates.empty() ||
        settings.tlsTrust.verifyPeer != systemTrust.verifyPeer) {
      posix_.Networking().SetTlsTrust(settings.tlsTrust);
    }
  } catch (const Error& error) {
    throw UsageError("--cacert: " + error.Description());
  }
  control_->SetExchangeObserver(&exchange_);
  if (settings.drawProgress) progress_.emplace(ui_, console_, platform_.clock);
  ui_.SetMessageObserver([this](const headless::MessageRecord& message) { ShowMessage(message); });
  ui_.OnFormShown([this](headless::HeadlessForm& form) { WindowShown(form); });
  ui_.SetOnFormEnded([this](headless::HeadlessForm& form) {
    if (IsTransferWindow(form.Name())) limits_.WindowEnded();
    if (progress_) progress_->WindowEnded(form);
  });
}

ControlSession::~ControlSession() = default;

headless::HeadlessForm& ControlSession::Surface() {
  return dynamic_cast<headless::HeadlessForm&>(*control_->Surface().form);
}

void ControlSession::ShowMessage(const headless::MessageRecord& message) {
  ++messageCount_;
  if (progress_) progress_->ReportFinishedRows();
  console_.Print(TerminalLines(WithEnglishReason(message.text)));
}

void ControlSession::NoteDamagedHive(const std::string& keptPath) {
  if (damagedHiveNoted_) return;
  damagedHiveNoted_ = true;
  console_.Print("veldrask: the registry file held lines that could not be read; it is kept as " +
                 keptPath + " and rewritten with what could be read");
}

void ControlSession::WindowShown(headless::HeadlessForm& form) {
  if (progress_) progress_->WindowShown(form);
  // Ctrl-C or a time limit came before the window opened: it closes as soon as it waits for
  // events.
  if ((Interrupted() || TimedOut()) && IsTransferWindow(form.Name())) PostUserClose(form.Name());
}

void ControlSession::CloseTransferWindows() {
  PostUserClose(kUploadWindow);
  PostUserClose(kDownloadWindow);
}

void ControlSession::PostUserClose(std::string_view formName) {
  if (ui_.FindOpenForm(formName) == nullptr) return;
  ui_.Loop().Post([this, name = std::string(formName)] {
    // The window may have closed itself before the task ran.
    if (headless::HeadlessForm* form = ui_.FindOpenForm(name)) form->Close();
  });
}

}  // namespace veldrask::host
