#include "message_pump.h"

#include <stdexcept>
#include <utility>

namespace veldrask::testing {
namespace {

constexpr wchar_t kWakeClass[] = L"VeldraskTestWake";
constexpr UINT kWake = WM_APP + 1;

void DispatchOne(const MSG& message) {
  TranslateMessage(&message);
  DispatchMessageW(&message);
}

}  // namespace

MessagePump::MessagePump() {
  WNDCLASSEXW windowClass{};
  windowClass.cbSize = sizeof windowClass;
  windowClass.lpfnWndProc = WakeProc;
  windowClass.hInstance = GetModuleHandleW(nullptr);
  windowClass.lpszClassName = kWakeClass;
  RegisterClassExW(&windowClass);
  wake_ = CreateWindowExW(0, kWakeClass, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                          windowClass.hInstance, nullptr);
  if (wake_ == nullptr) throw std::runtime_error("no message-only window");
  SetWindowLongPtrW(wake_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
}

MessagePump::~MessagePump() {
  DestroyWindow(wake_);
}

void MessagePump::ProcessPendingEvents() {
  MSG message;
  while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) DispatchOne(message);
  RunTasks();
}

WaitOutcome MessagePump::WaitUntil(const std::function<bool()>& done) {
  while (!done()) {
    MSG message;
    if (GetMessageW(&message, nullptr, 0, 0) <= 0) return WaitOutcome::kLoopEnding;
    DispatchOne(message);
  }
  return WaitOutcome::kDone;
}

void MessagePump::Post(std::function<void()> task) {
  tasks_.push_back(std::move(task));
  PostMessageW(wake_, kWake, 0, 0);
}

LRESULT CALLBACK MessagePump::WakeProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message != kWake) return DefWindowProcW(window, message, wParam, lParam);
  reinterpret_cast<MessagePump*>(GetWindowLongPtrW(window, GWLP_USERDATA))->RunTasks();
  return 0;
}

void MessagePump::RunTasks() {
  while (!tasks_.empty()) {
    std::function<void()> task = std::move(tasks_.front());
    tasks_.pop_front();
    task();
  }
}

}  // namespace veldrask::testing
