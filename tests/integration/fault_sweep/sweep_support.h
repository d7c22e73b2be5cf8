#pragma once

// What the fault sweeps share: targets that cut the exchange at a byte, a time limit per run
// that ends a hung run as a user would, and the list of runs that went wrong.

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

#include "headless/headless_ui.h"
#include "platform/event_loop.h"

namespace veldrask::testing {

// How the misbehaving server ends the exchange at the chosen byte.
enum class Cut { kClose, kReset };
inline constexpr Cut kBothCuts[] = {Cut::kClose, Cut::kReset};

std::string_view CutName(Cut cut);

// The target whose exchange the misbehaving server cuts after offset bytes (request bytes read,
// then reply bytes sent), answering as scenario does. The offset has a fixed width, so every
// target of a sweep makes a request of the same length.
std::string CutTarget(Cut cut, std::uint64_t offset, std::string_view scenario, std::uint64_t size,
                      std::string_view name);

// Where a sweep cut: "close at 130 (reply byte 30 of 299)".
std::string DescribeCut(Cut cut, std::size_t offset, std::size_t requestLength,
                        std::size_t replyLength);

// The reply of the misbehaving server to a plain GET of target, every byte up to its close.
std::string FetchReply(int port, std::string_view target);

// A time limit for one run of a window: past it the watcher posts the close of the open form
// formName to the loop, as a user closing the window would, so a hung run ends and the sweep
// goes on to report it. The close only ever reaches the run it was armed for.
class RunDeadline {
 public:
  RunDeadline(EventLoop& loop, headless::HeadlessUi& ui, std::string formName,
              std::chrono::milliseconds limit);
  ~RunDeadline();
  RunDeadline(const RunDeadline&) = delete;
  RunDeadline& operator=(const RunDeadline&) = delete;

  // Whether the limit passed before the run ended.
  bool Expired() const { return expired_; }

 private:
  std::shared_ptr<bool> current_ = std::make_shared<bool>(true);  // read on the loop only
  std::atomic<bool> expired_ = false;
  std::mutex mutex_;
  std::condition_variable ended_;
  bool done_ = false;
  std::thread watcher_;
};

// The runs of a sweep that went wrong, each named by where it cut, with what went wrong.
class SweepFindings {
 public:
  void Add(const std::string& run, std::string what);
  // How many runs went wrong.
  std::size_t Count() const { return runs_.size(); }
  // "" when none did; otherwise their count and the first few, one run a line.
  std::string Report() const;

 private:
  struct Run {
    std::string name;
    std::string problems;
  };
  std::vector<Run> runs_;
};

}  // namespace veldrask::testing
