#include "exchange_follower.h"

namespace veldrask::host {

std::string PrefixedLines(std::string_view head, std::string_view prefix) {
  std::string text;
  while (!head.empty()) {
    const std::size_t end = head.find('\n');
    std::string_view line = head.substr(0, end);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    text.append(prefix).append(line).append("\n");
    if (end == std::string_view::npos) break;
    head.remove_prefix(end + 1);
  }
  return text;
}

void ExchangeFollower::ForgetTry() {
  failure_ = kExitOk;
  downloads_.clear();
}

void ExchangeFollower::Connecting() {
  connected_ = false;
  failedUnconnected_ = false;
  if (limits_ != nullptr) limits_->Connecting();
}

void ExchangeFollower::Connected() {
  connected_ = true;
  if (limits_ != nullptr) limits_->Connected();
}

void ExchangeFollower::RequestHead(std::string_view head) {
  if (verbose_) console_.Print(PrefixedLines(head, "> "));
}

void ExchangeFollower::TunnelAnswerHead(std::string_view head) {
  if (verbose_) console_.Print(PrefixedLines(head, "< "));
}

void ExchangeFollower::Progress() {
  if (limits_ != nullptr) limits_->Progress();
}

void ExchangeFollower::ResponseHeadRead(const ResponseHead& head) {
  if (verbose_) console_.Print(PrefixedLines(ResponseHeadText(head), "< "));
  lastHead_ = head;
  // A redirect is a failure only where it ends the exchange: the command and the download's
  // report say so.
  if (!head.statusCode.starts_with('2') && !head.statusCode.starts_with('3')) {
    NoteFailure(kExitServerStatus);
  }
}

void ExchangeFollower::ReplyBody(std::span<const std::byte> bytes) {
  replySink_(bytes);
}

void ExchangeFollower::DownloadEnded(const DownloadReport& report) {
  downloads_.push_back(report);
  NoteFailure(StatusOfDownload(report));
}

void ExchangeFollower::SocketFailed(std::int32_t number, std::string_view /*description*/) {
  if (!connected_) failedUnconnected_ = true;
  NoteFailure(StatusOfSocketError(number));
}

void ExchangeFollower::NoteFailure(int status) {
  if (failure_ == kExitOk) failure_ = status;
}

int ExchangeFollower::FailureStatus() const {
  return failure_ == kExitOk ? kExitRefused : failure_;
}

}  // namespace veldrask::host
