#pragma once

#include <cstddef>
#include <functional>
#include <optional>
#include <span>
#include <string_view>
#include <vector>

#include "console.h"
#include "exit_status.h"
#include "http/exchange_observer.h"
#include "time_limits.h"

namespace veldrask::host {

// What the host follows of the control's exchanges: the heads for --verbose (on stderr, as
// "> " and "< " lines), the time limits, the reply's bytes for --output, and how each file
// of a download ended, and the first failure's exit status.
class ExchangeFollower final : public ExchangeObserver {
 public:
  using ByteSink = std::function<void(std::span<const std::byte>)>;

  // limits may be null (no limits).
  ExchangeFollower(Console& console, bool verbose, TimeLimits* limits)
      : console_(console), verbose_(verbose), limits_(limits) {}

  void SetReplySink(ByteSink sink) { replySink_ = std::move(sink); }
  const std::vector<DownloadReport>& Downloads() const { return downloads_; }
  // The head of the latest final response, if one came.
  const std::optional<ResponseHead>& LastHead() const { return lastHead_; }
  // The exit status of the first failure seen (a socket's error, a status that was not 2xx, a
  // downloaded file that failed) or noted; kExitRefused when there was none: the control
  // refused something itself.
  int FailureStatus() const;
  // A failure the command found itself; the first one noted or seen stays.
  void NoteFailure(int status);
  // Before a retry: the failures and the download reports seen so far are forgotten.
  void ForgetTry();
  // The latest connection failed before it opened: nothing of a request went out.
  bool ConnectionNeverOpened() const { return failedUnconnected_; }

  void Connecting() override;
  void Connected() override;
  void RequestHead(std::string_view head) override;
  void TunnelRequestHead(std::string_view head) override { RequestHead(head); }
  void TunnelAnswerHead(std::string_view head) override;
  void Progress() override;
  void ResponseHeadRead(const ResponseHead& head) override;
  bool TakesReplyBody() const override { return static_cast<bool>(replySink_); }
  void ReplyBody(std::span<const std::byte> bytes) override;
  void DownloadEnded(const DownloadReport& report) override;
  void SocketFailed(std::int32_t number, std::string_view description) override;

 private:
  Console& console_;
  bool verbose_;
  TimeLimits* limits_;
  ByteSink replySink_;
  std::vector<DownloadReport> downloads_;
  int failure_ = 0;
  std::optional<ResponseHead> lastHead_;
  bool connected_ = false;
  bool failedUnconnected_ = false;
};

// The head's lines, each after prefix, as --verbose shows them.
std::string PrefixedLines(std::string_view head, std::string_view prefix);

}  // namespace veldrask::host
