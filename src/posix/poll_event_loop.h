#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

#include "platform/event_loop.h"

namespace veldrask::posix {

// Readiness of a watched file descriptor, as asked for and as reported.
using IoEventMask = unsigned;
namespace io_event {
inline constexpr IoEventMask kNone = 0;
inline constexpr IoEventMask kReadable = 1;
inline constexpr IoEventMask kWritable = 2;
// Reported only, whatever was asked for: the peer hung up / the descriptor has an error.
inline constexpr IoEventMask kHangUp = 4;
inline constexpr IoEventMask kError = 8;
}  // namespace io_event

// Identifies one Watch; never reused within a loop. 0 is never issued.
using WatchId = std::uint64_t;
inline constexpr WatchId kNoWatch = 0;

// The event loop on poll(). Everything but Post and Wake belongs to the thread that created
// the loop. Events are dispatched one at a time, so a handler may wait in a nested
// WaitUntil, and watches may be added, changed or removed from inside any handler.
//
// Posted tasks are known without asking the kernel: while some are waiting, the loop runs
// them without polling, and polls (without blocking) once every kEventsBetweenPolls events
// so that descriptors are never starved. A socket whose send went out whole thus completes
// through its posted events alone; poll is reached when nothing is posted, when a poll is
// due, or in ProcessPendingEvents when neither it nor the wait before it handled anything
// (a window that waits for each block and then processes pending events polls only when due).
class PollEventLoop final : public EventLoop {
 public:
  using WatchCallback = std::function<void(IoEventMask ready)>;
  static constexpr std::size_t kEventsBetweenPolls = 64;

  PollEventLoop();
  ~PollEventLoop() override;
  PollEventLoop(const PollEventLoop&) = delete;
  PollEventLoop& operator=(const PollEventLoop&) = delete;

  void ProcessPendingEvents() override;
  WaitOutcome WaitUntil(const std::function<bool()>& done) override;
  // Safe from any thread; wakes the loop when called from another one.
  void Post(std::function<void()> task) override;

  // Calls callback from the loop whenever fd is ready for one of events. A watch asking for
  // nothing (kNone) is left out of the poll entirely, hang-ups included, so an owner can
  // park a descriptor without closing it. The loop never closes fd.
  WatchId Watch(int fd, IoEventMask events, WatchCallback callback);
  // Changes what a watch asks for; an unknown id is ignored.
  void Update(WatchId id, IoEventMask events);
  // Ends a watch at once: a readiness already collected for it is dropped. An unknown id is
  // ignored, so owners may unwatch unconditionally.
  void Unwatch(WatchId id);

  // Makes a blocked poll return, so WaitUntil re-tests its condition. Async-signal-safe (one
  // write(2) to a non-blocking pipe, errno preserved): a signal handler sets its own
  // sig_atomic_t flag, calls Wake, and the host's WaitUntil condition reads the flag.
  void Wake() noexcept;

  // Ends the loop: the waits under way and every later one return kLoopEnding (a condition
  // that holds still wins). Safe from any thread and async-signal-safe, as Wake is.
  void Quit() noexcept;

 private:
  struct WatchEntry {
    int fd;
    IoEventMask events;
    std::shared_ptr<WatchCallback> callback;
  };
  struct Readiness {
    WatchId id;
    IoEventMask ready;
  };

  // Polls once (timeout in ms, -1 = until something happens) and collects what is ready:
  // descriptors into ready_, and the posted tasks present then into due_.
  void Collect(int timeoutMs);
  bool HasCollected() const { return !ready_.empty() || !due_.empty(); }
  // Collects the posted tasks present now, without polling; false when there are none.
  bool CollectPostedTasks();
  // Moves the posted tasks present now to the end of due_, which is empty.
  void TakePostedTasks();
  bool PollDue() const { return eventsSincePoll_ >= kEventsBetweenPolls; }
  // Handles one collected event: a descriptor first, then a task, in the order collected.
  void DispatchOne();
  void DrainWakePipe() noexcept;
  bool OnOwnerThread() const { return std::this_thread::get_id() == owner_; }

  int wakeRead_ = -1;
  int wakeWrite_ = -1;
  std::thread::id owner_;
  std::atomic<bool> ending_{false};

  std::map<WatchId, WatchEntry> watches_;
  WatchId nextId_ = 1;
  std::deque<Readiness> ready_;
  // The posted tasks collected, in order; only the loop's thread touches them.
  std::deque<std::function<void()>> due_;
  std::size_t eventsSincePoll_ = 0;
  // A wait has handled events since the last ProcessPendingEvents.
  bool handledInWait_ = false;

  std::mutex tasksMutex_;
  std::deque<std::function<void()>> tasks_;
  // tasks_.size(), readable without the mutex: an empty queue is seen without locking.
  std::atomic<std::size_t> posted_{0};
};

}  // namespace veldrask::posix
