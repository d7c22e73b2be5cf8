#include "posix/poll_event_loop.h"

#include <gtest/gtest.h>
#include <pthread.h>
#include <sys/resource.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <csignal>
#include <thread>
#include <vector>

#include "socket_test_support.h"

namespace veldrask::posix {
namespace {

using namespace std::chrono_literals;
using socket_test::RunUntil;

// Both ends of a pipe, closed on destruction.
struct Pipe {
  Pipe() {
    int ends[2];
    EXPECT_EQ(pipe(ends), 0);
    readEnd = ends[0];
    writeEnd = ends[1];
  }
  ~Pipe() {
    if (readEnd >= 0) close(readEnd);
    if (writeEnd >= 0) close(writeEnd);
  }
  void Write() const { EXPECT_EQ(write(writeEnd, "x", 1), 1); }
  void Drain() const {
    char buffer[16];
    EXPECT_GT(read(readEnd, buffer, sizeof buffer), 0);
  }
  int readEnd = -1;
  int writeEnd = -1;
};

// Watches the pipe's read end; readable is set when the loop reports it.
WatchId WatchReadable(PollEventLoop& loop, const Pipe& pipe, bool& readable) {
  return loop.Watch(pipe.readEnd, io_event::kReadable,
                    [&readable](IoEventMask) { readable = true; });
}

TEST(PollEventLoop, PostedTasksRunLaterInOrderAndOnlyWhatWasReadyPerCall) {
  PollEventLoop loop;
  std::vector<int> order;
  loop.Post([&] { order.push_back(1); });
  loop.Post([&] {
    order.push_back(2);
    loop.Post([&] { order.push_back(3); });
  });
  EXPECT_TRUE(order.empty());

  loop.ProcessPendingEvents();
  EXPECT_EQ(order, (std::vector<int>{1, 2}));
  loop.ProcessPendingEvents();
  EXPECT_EQ(order, (std::vector<int>{1, 2, 3}));

  // A task that always posts itself again must not keep ProcessPendingEvents busy.
  int runs = 0;
  std::function<void()> again = [&] {
    ++runs;
    loop.Post(again);
  };
  loop.Post(again);
  loop.ProcessPendingEvents();
  EXPECT_EQ(runs, 1);
  loop.ProcessPendingEvents();
  EXPECT_EQ(runs, 2);
}

TEST(PollEventLoop, WaitUntilTestsTheConditionFirstAndAfterEachEvent) {
  PollEventLoop loop;
  int conditionTests = 0;
  EXPECT_EQ(loop.WaitUntil([&] { return ++conditionTests > 0; }), WaitOutcome::kDone);
  EXPECT_EQ(conditionTests, 1);

  int ran = 0;
  for (int i = 0; i < 3; ++i) loop.Post([&] { ++ran; });
  EXPECT_EQ(loop.WaitUntil([&] { return ran >= 2; }), WaitOutcome::kDone);
  EXPECT_EQ(ran, 2);  // the third task is left for later
  loop.ProcessPendingEvents();
  EXPECT_EQ(ran, 3);
}

// Posted tasks run without a poll while they keep coming; a ready descriptor is still served.
TEST(PollEventLoop, TasksThatKeepComingDoNotStarveDescriptors) {
  PollEventLoop loop;
  Pipe pipe;
  bool readable = false;
  const WatchId watch = WatchReadable(loop, pipe, readable);
  pipe.Write();
  int runs = 0;
  std::function<void()> again = [&] {
    ++runs;
    loop.Post(again);
  };
  loop.Post(again);
  EXPECT_EQ(loop.WaitUntil([&] { return readable; }), WaitOutcome::kDone);
  EXPECT_LE(runs, static_cast<int>(PollEventLoop::kEventsBetweenPolls));
  readable = false;
  runs = 0;
  // ProcessPendingEvents over and over, each one handling what the last one left collected.
  while (!readable) loop.ProcessPendingEvents();
  EXPECT_LE(runs, static_cast<int>(PollEventLoop::kEventsBetweenPolls));
  loop.Unwatch(watch);
}

// The call after a wait that handled events (a window's after each block) runs the posted
// tasks without polling; the call after it polls, so a ready descriptor waits one call at most.
TEST(PollEventLoop, ACallAfterAWaitThatHandledEventsLeavesItsPollToTheNext) {
  PollEventLoop loop;
  Pipe pipe;
  bool readable = false;
  const WatchId watch = WatchReadable(loop, pipe, readable);
  int ran = 0;
  loop.Post([&] { ++ran; });
  EXPECT_EQ(loop.WaitUntil([&] { return ran == 1; }), WaitOutcome::kDone);
  pipe.Write();
  loop.Post([&] { ++ran; });
  loop.ProcessPendingEvents();
  EXPECT_EQ(ran, 2);
  EXPECT_FALSE(readable);
  loop.ProcessPendingEvents();
  EXPECT_TRUE(readable);
  loop.Unwatch(watch);
}

TEST(PollEventLoop, QuitEndsTheWaitUnderWayAndEveryLaterOne) {
  PollEventLoop loop;
  bool nestedEnded = false;
  loop.Post([&] {
    loop.Post([&] { loop.Quit(); });
    nestedEnded = loop.WaitUntil([] { return false; }) == WaitOutcome::kLoopEnding;
  });
  EXPECT_EQ(loop.WaitUntil([] { return false; }), WaitOutcome::kLoopEnding);
  EXPECT_TRUE(nestedEnded);
  EXPECT_EQ(loop.WaitUntil([] { return false; }), WaitOutcome::kLoopEnding);
  EXPECT_EQ(loop.WaitUntil([] { return true; }), WaitOutcome::kDone);
}

TEST(PollEventLoop, PostFromAnotherThreadWakesABlockedWait) {
  PollEventLoop loop;
  bool done = false;
  std::thread poster([&] {
    std::this_thread::sleep_for(50ms);
    loop.Post([&] { done = true; });
  });
  EXPECT_TRUE(RunUntil(loop, [&] { return done; }));
  poster.join();
}

TEST(PollEventLoop, WatchesReportReadinessAndMayEndThemselvesOrOthers) {
  PollEventLoop loop;
  Pipe first;
  Pipe second;
  int firstCalls = 0;
  int secondCalls = 0;
  WatchId firstWatch = kNoWatch;
  WatchId secondWatch = kNoWatch;
  // Whichever runs first ends both watches: the other's collected readiness must be dropped.
  firstWatch = loop.Watch(first.readEnd, io_event::kReadable, [&](IoEventMask ready) {
    EXPECT_TRUE(ready & io_event::kReadable);
    ++firstCalls;
    loop.Unwatch(firstWatch);
    loop.Unwatch(secondWatch);
  });
  secondWatch = loop.Watch(second.readEnd, io_event::kReadable, [&](IoEventMask) {
    ++secondCalls;
    loop.Unwatch(secondWatch);
    loop.Unwatch(firstWatch);
  });
  first.Write();
  second.Write();
  loop.ProcessPendingEvents();
  EXPECT_EQ(firstCalls + secondCalls, 1);
  loop.ProcessPendingEvents();
  EXPECT_EQ(firstCalls + secondCalls, 1);
  loop.Unwatch(firstWatch);  // unknown ids are ignored
}

TEST(PollEventLoop, UpdateChangesInterestAndNoneParksAHungUpDescriptor) {
  PollEventLoop loop;
  Pipe pipe;
  std::vector<IoEventMask> reports;
  const WatchId watch = loop.Watch(pipe.readEnd, io_event::kNone,
                                   [&](IoEventMask ready) { reports.push_back(ready); });
  pipe.Write();
  loop.ProcessPendingEvents();
  EXPECT_TRUE(reports.empty());

  loop.Update(watch, io_event::kReadable);
  loop.ProcessPendingEvents();
  ASSERT_EQ(reports.size(), 1U);
  EXPECT_EQ(reports[0], io_event::kReadable);
  pipe.Drain();

  close(pipe.writeEnd);
  pipe.writeEnd = -1;
  loop.ProcessPendingEvents();
  ASSERT_EQ(reports.size(), 2U);
  EXPECT_TRUE(reports[1] & io_event::kHangUp);

  // Parked, a hung-up descriptor must neither be reported nor keep the loop busy.
  loop.Update(watch, io_event::kNone);
  const double cpuBefore = socket_test::CpuSeconds();
  socket_test::RunFor(loop, 300ms);
  EXPECT_LT(socket_test::CpuSeconds() - cpuBefore, 0.05);
  EXPECT_EQ(reports.size(), 2U);
  loop.Unwatch(watch);
}

TEST(PollEventLoop, HandlersMayWaitInNestedLoops) {
  PollEventLoop loop;
  Pipe pipe;
  bool readable = false;
  const WatchId watch = loop.Watch(pipe.readEnd, io_event::kReadable, [&](IoEventMask) {
    pipe.Drain();
    readable = true;
  });
  std::vector<std::string> steps;
  loop.Post([&] {
    steps.push_back("outer begins");
    loop.Post([&] {
      steps.push_back("inner task");
      pipe.Write();
    });
    EXPECT_TRUE(RunUntil(loop, [&] { return readable; }));
    steps.push_back("outer ends");
  });
  EXPECT_TRUE(RunUntil(loop, [&] { return steps.size() == 3; }));
  EXPECT_EQ(steps, (std::vector<std::string>{"outer begins", "inner task", "outer ends"}));
  loop.Unwatch(watch);
}

PollEventLoop* signalLoop = nullptr;
volatile std::sig_atomic_t signalled = 0;

void OnTestSignal(int) {
  signalled = 1;
  signalLoop->Wake();
}

TEST(PollEventLoop, WakeFromASignalHandlerOnAnotherThreadEndsTheWait) {
  PollEventLoop loop;
  signalLoop = &loop;
  signalled = 0;
  struct sigaction action {};
  action.sa_handler = OnTestSignal;
  sigemptyset(&action.sa_mask);
  struct sigaction previous {};
  ASSERT_EQ(sigaction(SIGUSR1, &action, &previous), 0);

  // The handler runs on the other thread, so only Wake can end the main thread's poll.
  std::thread signaller([] {
    std::this_thread::sleep_for(50ms);
    pthread_kill(pthread_self(), SIGUSR1);
  });
  EXPECT_TRUE(RunUntil(loop, [] { return signalled != 0; }));
  signaller.join();
  sigaction(SIGUSR1, &previous, nullptr);
  signalLoop = nullptr;
}

}  // namespace
}  // namespace veldrask::posix
