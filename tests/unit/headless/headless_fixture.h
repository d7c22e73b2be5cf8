#pragma once

#include <gtest/gtest.h>

#include <deque>
#include <functional>
#include <memory>
#include <stdexcept>
#include <utility>

#include "headless/headless_ui.h"
#include "platform/event_loop.h"

namespace veldrask::headless {

// Runs posted tasks in order. A wait with nothing left to run can never end: it throws
// instead of hanging, which fails the test.
class TaskLoop : public EventLoop {
 public:
  void ProcessPendingEvents() override {
    for (std::size_t ready = tasks_.size(); ready > 0 && !tasks_.empty(); --ready) RunNext();
  }

  void WaitUntil(const std::function<bool()>& done) override {
    while (!done()) {
      if (tasks_.empty()) throw std::runtime_error("waiting with no event left to handle");
      RunNext();
    }
  }

  void Post(std::function<void()> task) override { tasks_.push_back(std::move(task)); }

  std::size_t Pending() const { return tasks_.size(); }

 private:
  void RunNext() {
    std::function<void()> task = std::move(tasks_.front());
    tasks_.pop_front();
    task();
  }

  std::deque<std::function<void()>> tasks_;
};

class HeadlessTest : public ::testing::Test {
 protected:
  TaskLoop loop;
  HeadlessUi ui{loop};
  std::unique_ptr<HeadlessForm> form = ui.CreateHeadlessForm("frmMain", "전송", {0, 0, 4800, 3600});
};

}  // namespace veldrask::headless
