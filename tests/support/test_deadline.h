#pragma once

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <thread>

namespace veldrask::testing {

// A time limit for one test: past it the test process exits with status 124 after naming the
// test on stderr, rather than hanging on a server. Servers started through ServerProcess then
// exit as well, since their stdin pipe closes with the process.
class TestDeadline {
 public:
  explicit TestDeadline(std::chrono::milliseconds limit);
  ~TestDeadline();
  TestDeadline(const TestDeadline&) = delete;
  TestDeadline& operator=(const TestDeadline&) = delete;

 private:
  std::mutex mutex_;
  std::condition_variable finished_;
  bool done_ = false;
  std::thread watcher_;
};

}  // namespace veldrask::testing
