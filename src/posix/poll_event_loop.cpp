#include "posix/poll_event_loop.h"

#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

#include <cerrno>
#include <system_error>
#include <utility>

namespace veldrask::posix {
namespace {

short ToPollEvents(IoEventMask events) {
  short result = 0;
  if (events & io_event::kReadable) result |= POLLIN;
  if (events & io_event::kWritable) result |= POLLOUT;
  return result;
}

IoEventMask FromPollEvents(short revents) {
  IoEventMask result = io_event::kNone;
  if (revents & (POLLIN | POLLPRI)) result |= io_event::kReadable;
  if (revents & POLLOUT) result |= io_event::kWritable;
  if (revents & POLLHUP) result |= io_event::kHangUp;
  if (revents & (POLLERR | POLLNVAL)) result |= io_event::kError;
  return result;
}

void MakeNonBlockingAndCloseOnExec(int fd) {
  const int statusFlags = fcntl(fd, F_GETFL);
  const int descriptorFlags = fcntl(fd, F_GETFD);
  if (statusFlags < 0 || descriptorFlags < 0 || fcntl(fd, F_SETFL, statusFlags | O_NONBLOCK) < 0 ||
      fcntl(fd, F_SETFD, descriptorFlags | FD_CLOEXEC) < 0) {
    throw std::system_error(errno, std::generic_category(), "fcntl on the wake pipe");
  }
}

}  // namespace

PollEventLoop::PollEventLoop() : owner_(std::this_thread::get_id()) {
  int ends[2];
  if (pipe(ends) != 0) {
    throw std::system_error(errno, std::generic_category(), "pipe for the event loop");
  }
  wakeRead_ = ends[0];
  wakeWrite_ = ends[1];
  try {
    MakeNonBlockingAndCloseOnExec(wakeRead_);
    MakeNonBlockingAndCloseOnExec(wakeWrite_);
  } catch (...) {
    close(wakeRead_);
    close(wakeWrite_);
    throw;
  }
}

PollEventLoop::~PollEventLoop() {
  close(wakeRead_);
  close(wakeWrite_);
}

void PollEventLoop::ProcessPendingEvents() {
  // One poll only: what becomes ready while handling belongs to the next call, so a task that
  // posts itself again cannot keep this from returning. A call that handled events collected
  // before skips even that one until a poll is due. So does a call that follows a wait that
  // handled events: it takes the posted tasks waiting without polling (the call after it polls).
  bool polled = false;
  bool handled = false;
  bool afterWait = std::exchange(handledInWait_, false);
  for (;;) {
    if (!HasCollected()) {
      if (polled || (handled && !PollDue())) return;
      if (afterWait && !PollDue()) {
        afterWait = false;
        if (!CollectPostedTasks()) return;
      } else {
        Collect(0);
        polled = true;
        if (!HasCollected()) return;
      }
    }
    DispatchOne();
    handled = true;
  }
}

WaitOutcome PollEventLoop::WaitUntil(const std::function<bool()>& done) {
  while (!done()) {
    if (ending_.load()) return WaitOutcome::kLoopEnding;
    if (!HasCollected() && (PollDue() || !CollectPostedTasks())) Collect(-1);
    // Nothing collected means a wake-up or a signal: the condition is tested again.
    if (HasCollected()) {
      DispatchOne();
      handledInWait_ = true;
    }
  }
  return WaitOutcome::kDone;
}

void PollEventLoop::Post(std::function<void()> task) {
  {
    const std::lock_guard lock(tasksMutex_);
    tasks_.push_back(std::move(task));
    posted_.store(tasks_.size(), std::memory_order_release);
  }
  // The owner thread is never blocked in poll while it runs code of its own.
  if (!OnOwnerThread()) Wake();
}

WatchId PollEventLoop::Watch(int fd, IoEventMask events, WatchCallback callback) {
  const WatchId id = nextId_++;
  watches_.emplace(id,
                   WatchEntry{fd, events, std::make_shared<WatchCallback>(std::move(callback))});
  return id;
}

void PollEventLoop::Update(WatchId id, IoEventMask events) {
  if (const auto it = watches_.find(id); it != watches_.end()) it->second.events = events;
}

void PollEventLoop::Unwatch(WatchId id) {
  watches_.erase(id);
}

void PollEventLoop::Wake() noexcept {
  const int savedErrno = errno;
  const char byte = 1;
  // A full pipe already holds a wake-up, so a failed write loses nothing.
  [[maybe_unused]] const ssize_t written = write(wakeWrite_, &byte, 1);
  errno = savedErrno;
}

void PollEventLoop::Quit() noexcept {
  ending_.store(true);
  Wake();
}

bool PollEventLoop::CollectPostedTasks() {
  TakePostedTasks();
  return !due_.empty();
}

void PollEventLoop::Collect(int timeoutMs) {
  std::vector<pollfd> fds;
  std::vector<WatchId> ids;
  fds.reserve(watches_.size() + 1);
  ids.reserve(watches_.size());
  fds.push_back(pollfd{wakeRead_, POLLIN, 0});
  for (const auto& [id, entry] : watches_) {
    if (entry.events == io_event::kNone) continue;
    fds.push_back(pollfd{entry.fd, ToPollEvents(entry.events), 0});
    ids.push_back(id);
  }
  if (timeoutMs != 0) {
    if (posted_.load(std::memory_order_acquire) > 0) timeoutMs = 0;
  }

  eventsSincePoll_ = 0;
  const int count = poll(fds.data(), static_cast<nfds_t>(fds.size()), timeoutMs);
  if (count < 0) {
    if (errno == EINTR) return;
    throw std::system_error(errno, std::generic_category(), "poll");
  }
  if (fds[0].revents != 0) DrainWakePipe();
  for (std::size_t i = 1; i < fds.size(); ++i) {
    if (fds[i].revents != 0) ready_.push_back({ids[i - 1], FromPollEvents(fds[i].revents)});
  }
  TakePostedTasks();
}

void PollEventLoop::TakePostedTasks() {
  // Nothing posted from this thread is missed; a post from another one that this misses has
  // written to the wake pipe, so the next poll returns for it.
  if (posted_.load(std::memory_order_acquire) == 0) return;
  const std::lock_guard lock(tasksMutex_);
  due_.swap(tasks_);
  posted_.store(0, std::memory_order_release);
}

void PollEventLoop::DispatchOne() {
  ++eventsSincePoll_;
  if (!ready_.empty()) {
    const Readiness readiness = ready_.front();
    ready_.pop_front();
    const auto it = watches_.find(readiness.id);
    if (it == watches_.end() || it->second.events == io_event::kNone) return;
    // What the watch no longer asks for since the poll is not reported.
    const IoEventMask ready =
        readiness.ready & (it->second.events | io_event::kHangUp | io_event::kError);
    if (ready == io_event::kNone) return;
    // The copy keeps the callback alive while it unwatches itself.
    const std::shared_ptr<WatchCallback> callback = it->second.callback;
    (*callback)(ready);
    return;
  }
  if (due_.empty()) return;
  const std::function<void()> task = std::move(due_.front());
  due_.pop_front();
  task();
}

void PollEventLoop::DrainWakePipe() noexcept {
  char buffer[64];
  while (read(wakeRead_, buffer, sizeof buffer) > 0) {
  }
}

}  // namespace veldrask::posix
