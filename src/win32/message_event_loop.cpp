#include "win32/message_event_loop.h"

#include <algorithm>
#include <stdexcept>
#include <system_error>
#include <utility>

namespace veldrask::win32 {
namespace {

constexpr wchar_t kWindowClass[] = L"VeldraskMessageLoop";
constexpr UINT kTaskMessage = WM_APP;
constexpr UINT kMarkerMessage = WM_APP + 1;
constexpr UINT kFirstSocketMessage = WM_APP + 0x10;
constexpr UINT kLastSocketMessage = 0xBFFF;  // the end of the application's private range

[[noreturn]] void RaiseLastError(const char* what) {
  throw std::system_error(static_cast<int>(GetLastError()), std::system_category(), what);
}

// The module this code is linked into: the control's DLL or a program.
HINSTANCE OwnModule() {
  HMODULE module = nullptr;
  GetModuleHandleExW(
      GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
      reinterpret_cast<LPCWSTR>(&kWindowClass), &module);
  return module;
}

}  // namespace

bool TaskInbox::Post(std::function<void()> task) {
  const std::lock_guard lock(mutex_);
  if (window_ == nullptr) return false;
  tasks_.push_back(std::move(task));
  // A full message queue refuses the wake-up; the loop makes it up before it next blocks.
  if (!PostMessageW(window_, kTaskMessage, 0, 0)) ++missingWakes_;
  return true;
}

MessageEventLoop::MessageEventLoop() : nextSocketMessage_(kFirstSocketMessage) {
  const HINSTANCE module = OwnModule();
  WNDCLASSEXW windowClass{};
  windowClass.cbSize = sizeof windowClass;
  windowClass.lpfnWndProc = &MessageEventLoop::WindowProcedure;
  windowClass.hInstance = module;
  windowClass.lpszClassName = kWindowClass;
  if (RegisterClassExW(&windowClass) == 0 && GetLastError() != ERROR_CLASS_ALREADY_EXISTS) {
    RaiseLastError("RegisterClassExW for the event loop");
  }
  window_ =
      CreateWindowExW(0, kWindowClass, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, module, nullptr);
  if (window_ == nullptr) RaiseLastError("CreateWindowExW for the event loop");
  SetWindowLongPtrW(window_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
  const std::lock_guard lock(inbox_->mutex_);
  inbox_->window_ = window_;
}

MessageEventLoop::~MessageEventLoop() {
  {
    const std::lock_guard lock(inbox_->mutex_);
    inbox_->window_ = nullptr;
    inbox_->tasks_.clear();
  }
  SetWindowLongPtrW(window_, GWLP_USERDATA, 0);
  // Messages still queued for the window are discarded with it.
  DestroyWindow(window_);
}

void MessageEventLoop::ProcessPendingEvents() {
  RethrowKept();
  const std::uint64_t marker = ++markersPosted_;
  if (PostMessageW(window_, kMarkerMessage, 0, static_cast<LPARAM>(marker))) {
    MSG message;
    while (markersSeen_ < marker && PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
      if (!Handle(message)) return;
    }
  }
  // Input, painting and timers are generated rather than queued, so the marker cannot bound
  // them.
  HandleGenerated();
}

bool MessageEventLoop::HandleGenerated() {
  // Input and painting do not renew themselves as posts can: all that is pending is handled.
  MSG message;
  while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE | PM_QS_INPUT | PM_QS_PAINT)) {
    if (!Handle(message)) return false;
  }
  // A timer comes due again only after its interval: one is enough.
  if (PeekMessageW(&message, nullptr, WM_TIMER, WM_TIMER, PM_REMOVE)) return Handle(message);
  return true;
}

WaitOutcome MessageEventLoop::WaitUntil(const std::function<bool()>& done) {
  RethrowKept();
  for (;;) {
    if (done()) return WaitOutcome::kDone;
    if (ending_) return WaitOutcome::kLoopEnding;
    // The queue hands out posted messages before it generates input, painting and timers, and
    // a transfer keeps posting (socket notifications, progress tasks): without a turn of their
    // own, the user's close box and the windows' repainting would wait for the transfer's end.
    if (++postedInARow_ >= kPostedBeforeGenerated) {
      postedInARow_ = 0;
      if (!HandleGenerated()) return WaitOutcome::kLoopEnding;
      continue;
    }
    MSG message;
    if (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
      if (!Handle(message)) return WaitOutcome::kLoopEnding;
      continue;
    }
    postedInARow_ = 0;
    // PeekMessage may have run messages sent from other threads.
    if (done()) return WaitOutcome::kDone;
    {
      const std::lock_guard lock(inbox_->mutex_);
      while (inbox_->missingWakes_ > 0 && PostMessageW(window_, kTaskMessage, 0, 0)) {
        --inbox_->missingWakes_;
      }
    }
    if (MsgWaitForMultipleObjectsEx(0, nullptr, INFINITE, QS_ALLINPUT,
                                    MWMO_ALERTABLE | MWMO_INPUTAVAILABLE) == WAIT_FAILED) {
      RaiseLastError("MsgWaitForMultipleObjectsEx");
    }
  }
}

void MessageEventLoop::Post(std::function<void()> task) {
  inbox_->Post(std::move(task));
}

UINT MessageEventLoop::AddSocketHandler(SocketHandler handler) {
  constexpr UINT kCount = kLastSocketMessage - kFirstSocketMessage + 1;
  for (UINT tried = 0; tried < kCount; ++tried) {
    const UINT message = nextSocketMessage_;
    nextSocketMessage_ = message == kLastSocketMessage ? kFirstSocketMessage : message + 1;
    if (socketHandlers_.contains(message)) continue;
    socketHandlers_.emplace(message, std::make_shared<SocketHandler>(std::move(handler)));
    return message;
  }
  throw std::runtime_error("every socket message number is in use");
}

void MessageEventLoop::RemoveSocketHandler(UINT message) {
  socketHandlers_.erase(message);
}

bool MessageEventLoop::Handle(MSG& message) {
  if (message.message == WM_QUIT) {
    ending_ = true;
    PostQuitMessage(static_cast<int>(message.wParam));
    return false;
  }
  if (message.hwnd == window_) {
    // Run here rather than through DispatchMessage, so that exceptions reach the waiter.
    RunOwnMessage(message.message, message.wParam, message.lParam);
    return true;
  }
  const MessageFilter filter = filter_;  // the filter may replace itself
  if (!filter || !filter(message)) {
    TranslateMessage(&message);
    DispatchMessageW(&message);
  }
  RethrowKept();
  return true;
}

void MessageEventLoop::RunOwnMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == kTaskMessage) {
    RunNextTask();
  } else if (message == kMarkerMessage) {
    markersSeen_ = std::max(markersSeen_, static_cast<std::uint64_t>(lParam));
  } else if (message >= kFirstSocketMessage && message <= kLastSocketMessage) {
    const auto it = socketHandlers_.find(message);
    if (it == socketHandlers_.end()) return;  // for a socket closed since
    // The copy keeps the handler alive while it removes itself.
    const std::shared_ptr<SocketHandler> handler = it->second;
    (*handler)(wParam, lParam);
  }
}

void MessageEventLoop::RunNextTask() {
  std::function<void()> task;
  {
    const std::lock_guard lock(inbox_->mutex_);
    if (inbox_->tasks_.empty()) return;
    task = std::move(inbox_->tasks_.front());
    inbox_->tasks_.pop_front();
  }
  task();
}

void MessageEventLoop::RethrowKept() {
  if (!kept_) return;
  std::exception_ptr kept = std::exchange(kept_, nullptr);
  std::rethrow_exception(kept);
}

LRESULT CALLBACK MessageEventLoop::WindowProcedure(HWND window, UINT message, WPARAM wParam,
                                                   LPARAM lParam) {
  auto* loop = reinterpret_cast<MessageEventLoop*>(GetWindowLongPtrW(window, GWLP_USERDATA));
  if (loop == nullptr || message < WM_APP || message > kLastSocketMessage) {
    return DefWindowProcW(window, message, wParam, lParam);
  }
  // Reached through another message loop (a message box's, a dialog's).
  try {
    loop->RunOwnMessage(message, wParam, lParam);
  } catch (...) {
    if (!loop->kept_) loop->kept_ = std::current_exception();
  }
  return 0;
}

}  // namespace veldrask::win32
