#include "interrupt_watch.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <system_error>
#include <utility>

namespace veldrask::host {
namespace {

// The first signal's number, 0 before any.
volatile std::sig_atomic_t interrupted = 0;
// The pipe the handler writes to; -1 outside an InterruptWatch's life.
volatile std::sig_atomic_t pipeWriter = -1;
int pipeReader = -1;

extern "C" void OnSignal(int signal) {
  const int savedErrno = errno;
  if (interrupted == 0) interrupted = signal;
  const int writer = pipeWriter;
  if (writer >= 0) {
    const char byte = 1;
    // A full pipe already holds a wake-up; nothing is lost.
    [[maybe_unused]] const ssize_t written = ::write(writer, &byte, 1);
  }
  errno = savedErrno;
}

}  // namespace

InterruptWatch::InterruptWatch(posix::PollEventLoop& loop, std::function<void()> onInterrupt)
    : loop_(loop), onInterrupt_(std::move(onInterrupt)) {
  int fds[2];
  if (::pipe2(fds, O_NONBLOCK | O_CLOEXEC) != 0) {
    throw std::system_error(errno, std::generic_category(), "pipe2");
  }
  pipeReader = fds[0];
  pipeWriter = fds[1];
  interrupted = 0;
  watch_ =
      loop_.Watch(pipeReader, posix::io_event::kReadable, [this](posix::IoEventMask) { Drain(); });

  struct sigaction action {};
  action.sa_handler = OnSignal;
  sigemptyset(&action.sa_mask);
  for (const int signal : kSignals) sigaddset(&action.sa_mask, signal);
  // Interrupted system calls resume; the second signal of a kind gets the default action.
  action.sa_flags = static_cast<int>(SA_RESTART | SA_RESETHAND);
  for (std::size_t i = 0; i < kSignals.size(); ++i)
    ::sigaction(kSignals[i], &action, &previous_[i]);
}

InterruptWatch::~InterruptWatch() {
  for (std::size_t i = 0; i < kSignals.size(); ++i)
    ::sigaction(kSignals[i], &previous_[i], nullptr);
  loop_.Unwatch(watch_);
  const int writer = pipeWriter;
  pipeWriter = -1;
  ::close(writer);
  ::close(pipeReader);
  pipeReader = -1;
}

bool InterruptWatch::Interrupted() {
  return interrupted != 0;
}

int InterruptWatch::ExitStatus() {
  return 128 + static_cast<int>(interrupted);
}

void InterruptWatch::Drain() {
  char buffer[64];
  while (::read(pipeReader, buffer, sizeof buffer) > 0) {
  }
  if (interrupted != 0 && onInterrupt_) onInterrupt_();
}

}  // namespace veldrask::host
