#pragma once

#include <cstddef>
#include <functional>
#include <span>
#include <string_view>
#include <vector>

#include "console.h"
#include "http/exchange_observer.h"
#include "time_limits.h"

namespace veldrask::host {

// What the host follows of the control's exchanges: the heads for --verbose (on stderr, as
// "> " and "< " lines), the time limits, the reply's bytes for --output, and how each file
// of a download ended.
class ExchangeFollower final : public ExchangeObserver {
 public:
  using ByteSink = std::function<void(std::span<const std::byte>)>;

  // limits may be null (no limits).
  ExchangeFollower(Console& console, bool verbose, TimeLimits* limits)
      : console_(console), verbose_(verbose), limits_(limits) {}

  void SetReplySink(ByteSink sink) { replySink_ = std::move(sink); }
  const std::vector<DownloadReport>& Downloads() const { return downloads_; }

  void Connecting() override;
  void Connected() override;
  void RequestHead(std::string_view head) override;
  void Progress() override;
  void ResponseHeadRead(const ResponseHead& head) override;
  bool TakesReplyBody() const override { return static_cast<bool>(replySink_); }
  void ReplyBody(std::span<const std::byte> bytes) override;
  void DownloadEnded(const DownloadReport& report) override;

 private:
  Console& console_;
  bool verbose_;
  TimeLimits* limits_;
  ByteSink replySink_;
  std::vector<DownloadReport> downloads_;
};

// The head's lines, each after prefix, as --verbose shows them.
std::string PrefixedLines(std::string_view head, std::string_view prefix);

}  // namespace veldrask::host
