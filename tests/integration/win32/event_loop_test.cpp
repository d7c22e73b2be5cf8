#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

#include "win32/message_event_loop.h"
#include "win32_test_support.h"

namespace veldrask::win32::testing {
namespace {

TEST(MessageEventLoop, TasksRunInOrderNestedWaitsKeepThemFlowing) {
  MessageEventLoop loop;
  std::vector<std::string> seen;
  bool innerDone = false;
  loop.Post([&] {
    seen.push_back("outer");
    loop.Post([&] { seen.push_back("nested-1"); });
    loop.Post([&] {
      seen.push_back("nested-2");
      innerDone = true;
    });
    // A modal wait inside a task: the tasks posted meanwhile run inside it.
    EXPECT_EQ(loop.WaitUntil([&] { return innerDone; }), WaitOutcome::kDone);
    seen.push_back("outer-after-wait");
  });
  loop.Post([&] { seen.push_back("second"); });
  ASSERT_TRUE(RunUntil(loop, [&] { return seen.size() == 5; }));
  EXPECT_EQ(seen, (std::vector<std::string>{"outer", "second", "nested-1", "nested-2",
                                            "outer-after-wait"}));
}

TEST(MessageEventLoop, ProcessPendingEventsHandlesWhatWasQueuedAndReturns) {
  MessageEventLoop loop;
  int runs = 0;
  std::function<void()> again = [&] {
    ++runs;
    loop.Post(again);  // renews itself forever: the call must still return
  };
  loop.Post(again);
  loop.Post([&] { ++runs; });
  loop.ProcessPendingEvents();
  EXPECT_EQ(runs, 2);
  loop.ProcessPendingEvents();
  EXPECT_EQ(runs, 3);
}

TEST(MessageEventLoop, PostFromAnotherThreadWakesABlockedWait) {
  MessageEventLoop loop;
  bool ran = false;
  std::thread other([&loop, &ran] { loop.Post([&ran] { ran = true; }); });
  EXPECT_TRUE(RunUntil(loop, [&] { return ran; }));
  other.join();
}

TEST(MessageEventLoop, QuitEndsEveryWaitAndStaysPosted) {
  MessageEventLoop loop;
  WaitOutcome inner = WaitOutcome::kDone;
  loop.Post([&] {
    PostQuitMessage(3);
    inner = loop.WaitUntil([] { return false; });
  });
  EXPECT_EQ(loop.WaitUntil([] { return false; }), WaitOutcome::kLoopEnding);
  EXPECT_EQ(inner, WaitOutcome::kLoopEnding);
  MSG message{};
  ASSERT_TRUE(PeekMessageW(&message, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
  EXPECT_EQ(message.wParam, 3u);
  // The loop stays ended for later waits, even with the message taken by someone else.
  EXPECT_EQ(loop.WaitUntil([] { return false; }), WaitOutcome::kLoopEnding);
  EXPECT_EQ(loop.WaitUntil([] { return true; }), WaitOutcome::kDone);
}

TEST(MessageEventLoop, ExceptionsReachTheWaiterAlsoThroughAForeignMessageLoop) {
  MessageEventLoop loop;
  loop.Post([] { throw std::runtime_error("from a task"); });
  EXPECT_THROW(static_cast<void>(loop.WaitUntil([] { return false; })), std::runtime_error);

  // A dialog's own loop dispatches the hidden window's messages through the window procedure.
  loop.Post([] { throw std::runtime_error("through DispatchMessage"); });
  MSG message{};
  ASSERT_TRUE(PeekMessageW(&message, loop.Window(), 0, 0, PM_REMOVE));
  DispatchMessageW(&message);
  EXPECT_THROW(static_cast<void>(loop.WaitUntil([] { return false; })), std::runtime_error);
}

}  // namespace
}  // namespace veldrask::win32::testing
