#pragma once

// One control embedded in the command line's page on Windows: the control DLL in an OLE
// container, its dialogs answered by a user who reads and confirms each message box (the
// text goes to the console), and its members called by name.

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "base/error.h"
#include "console.h"
#include "console_interrupt.h"
#include "control_host.h"
#include "dialog_user.h"
#include "exchange_follower.h"
#include "exchange_sink.h"
#include "finished_rows.h"
#include "http/host_options.h"
#include "load_error_log.h"
#include "time_limits.h"

namespace veldrask::host {

struct DllSessionSettings {
  std::string cookie;
  container::Params params;  // the page's <param>s; none: the control starts fresh
  // The download folder the control starts with (the value its folder browser keeps).
  std::optional<std::string> downloadFolder;
  bool followTransfers = true;  // false prints no finished files (--quiet)
  bool verbose = false;         // the heads of every exchange on the console
  TimeLimitSettings limits;
  // Roots the control's TLS connections trust beside the system's store (a PEM text), and
  // whether they check the server's certificate at all: for this run only, never for pages.
  std::optional<std::string> trustedRoots;
  bool checkCertificates = true;
  HostOptions hostOptions;  // what the host adds to the requests
};

class DllSession {
 public:
  // Throws ParamLoadFailure, UsageError when the trusted roots hold no certificate, or
  // std::runtime_error when the control cannot be created.
  DllSession(Console& console, const DllSessionSettings& settings);
  ~DllSession();
  DllSession(const DllSession&) = delete;
  DllSession& operator=(const DllSession&) = delete;

  // The names the control read from the page.
  const std::vector<std::string>& ParamNamesRead() const { return host_->ParamNamesRead(); }

  // Members by name; the control's dispatch exceptions raise its Error.
  std::string Get(std::string_view property);
  void Put(std::string_view property, std::string_view value);
  std::string Call(std::string_view method, const std::vector<std::string>& arguments = {});
  container::OwnedVariant Invoke(std::string_view member, container::MemberKind kind,
                                 const std::vector<std::string>& arguments);

  container::DialogUser& User() { return user_; }
  container::ControlHost& Host() { return *host_; }
  Console& Output() { return console_; }
  std::size_t MessageCount() const { return user_.Messages().size() - forgottenMessages_; }
  // Before a retry: the messages of the failed try no longer count (they were printed).
  void ForgetMessagesSince(std::size_t count) { forgottenMessages_ += MessageCount() - count; }
  bool MessageShown() const { return MessageCount() > 0; }

  // Prints "location: URL" once the control has navigated the page (not with --quiet).
  void ReportLocation();

  ExchangeFollower& Exchange() { return exchange_; }
  // The command's transfer begins (the total time limit starts), and its window has closed.
  void StartClock() { limits_.Start(); }
  void TransferEnded() { limits_.WindowEnded(); }
  // The time limit that ended the transfer, if one did.
  std::optional<TimeLimit> TimedOut() const { return limits_.Expired(); }
  const TimeLimits& Limits() const { return limits_; }

 private:
  // The control's exchanges go to the sink, and its connections trust what settings say.
  void LinkToControl(const DllSessionSettings& settings);
  // A limit passed: the transfer windows close as the user closes them, and so does each one
  // that opens afterwards.
  void CloseTransferWindows();

  Console& console_;
  bool quiet_;  // --quiet: no location either
  ConsoleInterrupt interrupt_{GetCurrentThreadId()};
  container::OleApartment apartment_;
  // Before the control, so that they outlive it.
  TimeLimits limits_;
  std::size_t forgottenMessages_ = 0;
  ExchangeFollower exchange_;
  win32::ComPtr<ExchangeSink> sink_;
  std::unique_ptr<LimitTimer> closer_;
  container::DialogUser user_;
  std::optional<container::ControlHost> host_;
  std::optional<FinishedRows> finishedRows_;
  std::string locationShown_;
};

// The page's load stopped at the parameter Name(), which did not convert.
class ParamLoadFailure : public Error {
 public:
  ParamLoadFailure(std::string name, const Error& error) : Error(error), name_(std::move(name)) {}
  const std::string& Name() const { return name_; }

 private:
  std::string name_;
};

// A dispatch error of the control as the control's own Error: its number and Korean
// description, with the dispatch layer's own failures (unknown name, argument count, type)
// given the numbers a script sees for them.
Error ControlError(const container::MemberError& error);

}  // namespace veldrask::host
