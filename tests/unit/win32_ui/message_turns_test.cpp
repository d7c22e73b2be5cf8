// The thread's message loop with real windows: what the queue generates rather than queues
// keeps its turn while posts keep coming.

#include <gtest/gtest.h>
#include <windows.h>

#include <functional>

#include "win32/message_event_loop.h"

namespace veldrask::win32 {
namespace {

// Posts that never stop (a transfer's notifications) must not starve what the queue only
// generates when it has nothing posted: timers (the user's tools) and painting.
TEST(MessageEventLoop, TimersAndPaintingGetTheirTurnWhilePostsKeepComing) {
  struct Case {
    const char* what;
    std::function<void(HWND window)> request;  // asks for the generated message
    UINT arrives;
  } cases[] = {
      {"a timer", [](HWND window) { SetTimer(window, 1, 1, nullptr); }, WM_TIMER},
      {"painting", [](HWND window) { InvalidateRect(window, nullptr, TRUE); }, WM_PAINT},
  };
  for (const Case& test : cases) {
    MessageEventLoop loop;
    HWND window = CreateWindowExW(0, L"STATIC", L"", WS_POPUP | WS_VISIBLE, 0, 0, 10, 10, nullptr,
                                  nullptr, nullptr, nullptr);
    ASSERT_NE(window, nullptr);
    bool arrived = false;
    loop.SetMessageFilter([&](MSG& message) {
      if (message.hwnd == window && message.message == test.arrives) arrived = true;
      return false;
    });
    // Let the window's first painting and activation pass.
    loop.ProcessPendingEvents();
    arrived = false;
    int posts = 0;
    std::function<void()> again = [&] {
      if (++posts < 100'000) loop.Post(again);
    };
    loop.Post(again);
    test.request(window);
    EXPECT_EQ(loop.WaitUntil([&] { return arrived || posts >= 100'000; }), WaitOutcome::kDone);
    EXPECT_TRUE(arrived) << test.what << " waited for " << posts << " posts";
    KillTimer(window, 1);
    DestroyWindow(window);
  }
}

}  // namespace
}  // namespace veldrask::win32
