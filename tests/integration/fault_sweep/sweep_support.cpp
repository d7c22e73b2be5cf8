#include "integration/fault_sweep/sweep_support.h"

#include <algorithm>
#include <stdexcept>

#include "support/raw_http.h"
#include "support/servers.h"

namespace veldrask::testing {

std::string_view CutName(Cut cut) {
  return cut == Cut::kClose ? "close" : "reset";
}

std::string CutTarget(Cut cut, std::uint64_t offset, std::string_view scenario, std::uint64_t size,
                      std::string_view name) {
  std::string digits = std::to_string(offset);
  digits.insert(0, digits.size() < 6 ? 6 - digits.size() : 0, '0');
  return ScenarioPath(std::string(CutName(cut)) + "-at-" + digits + "-" + std::string(scenario),
                      size, name);
}

std::string DescribeCut(Cut cut, std::size_t offset, std::size_t requestLength,
                        std::size_t replyLength) {
  std::string text = std::string(CutName(cut)) + " at " + std::to_string(offset) + " (";
  if (offset < requestLength) {
    text += "request byte " + std::to_string(offset) + " of " + std::to_string(requestLength);
  } else {
    text += "reply byte " + std::to_string(offset - requestLength) + " of " +
            std::to_string(replyLength);
  }
  return text + ")";
}

std::string FetchReply(int port, std::string_view target) {
  RawExchangeOptions options;
  options.stop_at_complete_reply = false;
  const RawExchange exchange = ExchangeRaw(
      port, "GET " + std::string(target) + " HTTP/1.1\r\nHost: 127.0.0.1\r\n\r\n", options);
  if (exchange.end != PeerEnd::kClosed) {
    throw std::runtime_error("the server did not close after its reply to " + std::string(target));
  }
  return exchange.reply;
}

RunDeadline::RunDeadline(EventLoop& loop, headless::HeadlessUi& ui, std::string formName,
                         std::chrono::milliseconds limit) {
  watcher_ =
      std::thread([this, &loop, &ui, formName = std::move(formName), limit, current = current_] {
        std::unique_lock lock(mutex_);
        if (ended_.wait_for(lock, limit, [this] { return done_; })) return;
        expired_ = true;
        loop.Post([&ui, formName, current] {
          if (!*current) return;
          if (headless::HeadlessForm* form = ui.FindOpenForm(formName)) form->Close();
        });
      });
}

RunDeadline::~RunDeadline() {
  {
    std::lock_guard lock(mutex_);
    done_ = true;
  }
  ended_.notify_all();
  watcher_.join();
  // A close posted just before the run ended runs later on the loop, and must find no run.
  *current_ = false;
}

void SweepFindings::Add(const std::string& run, std::string what) {
  if (!runs_.empty() && runs_.back().name == run) {
    runs_.back().problems += "; " + what;
    return;
  }
  runs_.push_back({run, std::move(what)});
}

std::string SweepFindings::Report() const {
  if (runs_.empty()) return {};
  constexpr std::size_t kShown = 12;
  std::string text = std::to_string(runs_.size()) + " runs went wrong";
  for (std::size_t i = 0; i < std::min(kShown, runs_.size()); ++i) {
    text += "\n  " + runs_[i].name + ": " + runs_[i].problems;
  }
  if (runs_.size() > kShown) text += "\n  ...";
  return text;
}

}  // namespace veldrask::testing
