#pragma once

#include <cstddef>
#include <cstdint>
#include <deque>
#include <exception>
#include <functional>
#include <map>
#include <memory>
#include <mutex>

#include "platform/event_loop.h"
#include "win32/windows_api.h"

namespace veldrask::win32 {

// Where tasks are posted; shared with worker threads, so it outlives the loop for them (posting
// after the loop is gone does nothing).
class TaskInbox {
 public:
  // Queues task and wakes the loop's thread; false when the loop no longer exists.
  bool Post(std::function<void()> task);

 private:
  friend class MessageEventLoop;
  std::mutex mutex_;
  HWND window_ = nullptr;  // null once the loop is gone
  std::deque<std::function<void()>> tasks_;
  std::size_t missingWakes_ = 0;  // tasks whose wake-up message the queue refused
};

// The event loop of a Windows thread: its message queue. Tasks and socket notifications arrive
// as messages to a hidden message-only window, so they interleave in order with the messages of
// every other window of the thread, and a window's own modal loop (a message box, a dialog)
// keeps them flowing. Everything but Post belongs to the thread that created the loop.
class MessageEventLoop final : public EventLoop {
 public:
  // Receives socket notifications: wParam is the socket, lParam the event and error
  // (WSAGETSELECT*).
  using SocketHandler = std::function<void(WPARAM socket, LPARAM eventAndError)>;
  // Sees each message before it is dispatched; true when it handled the message itself
  // (IsDialogMessage for a modeless dialog, accelerators).
  using MessageFilter = std::function<bool(MSG& message)>;

  MessageEventLoop();
  ~MessageEventLoop() override;
  MessageEventLoop(const MessageEventLoop&) = delete;
  MessageEventLoop& operator=(const MessageEventLoop&) = delete;

  // Handles the messages queued when called (a marker posted behind them bounds the call) and
  // the input, painting and a timer pending then; what they post waits for the next call. A WM_QUIT
  // found is posted again and ends the call.
  void ProcessPendingEvents() override;
  // Handles messages until done() holds, blocking in MsgWaitForMultipleObjectsEx between them
  // (alertable, so completion routines run too); however fast messages are posted, input,
  // painting and timers get a turn every few messages. WM_QUIT ends the loop: it is posted again
  // for the message loops further out, and this wait and every later one whose condition does not
  // hold return kLoopEnding.
  WaitOutcome WaitUntil(const std::function<bool()>& done) override;
  bool Ending() const { return ending_; }
  // Safe from any thread.
  void Post(std::function<void()> task) override;
  std::shared_ptr<TaskInbox> Inbox() const { return inbox_; }

  // The hidden window tasks and socket notifications are sent to.
  HWND Window() const { return window_; }
  void SetMessageFilter(MessageFilter filter) { filter_ = std::move(filter); }

  // A message number of its own for a socket's WSAAsyncSelect. Numbers rotate through the
  // application range, so a notification still queued for a closed socket (whose handle
  // Winsock may already have given to a new one) reaches no handler.
  UINT AddSocketHandler(SocketHandler handler);
  // An unknown number is ignored, so owners may remove unconditionally.
  void RemoveSocketHandler(UINT message);

 private:
  static LRESULT CALLBACK WindowProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  // Handles one message taken from the queue; false for WM_QUIT (posted again).
  bool Handle(MSG& message);
  // Runs a message of the hidden window; exceptions are kept when a foreign message loop
  // called it (they cannot cross the system's frames) and raised in Handle.
  void RunOwnMessage(UINT message, WPARAM wParam, LPARAM lParam);
  void RunNextTask();
  void RethrowKept();
  // Handles the input and painting pending and one timer due; false for WM_QUIT.
  bool HandleGenerated();

  // Messages a wait takes from the queue before it lets generated ones have a turn.
  static constexpr int kPostedBeforeGenerated = 8;

  HWND window_ = nullptr;
  std::shared_ptr<TaskInbox> inbox_ = std::make_shared<TaskInbox>();
  std::map<UINT, std::shared_ptr<SocketHandler>> socketHandlers_;
  UINT nextSocketMessage_;
  std::uint64_t markersPosted_ = 0;
  std::uint64_t markersSeen_ = 0;
  int postedInARow_ = 0;
  MessageFilter filter_;
  std::exception_ptr kept_;
  bool ending_ = false;
};

}  // namespace veldrask::win32
