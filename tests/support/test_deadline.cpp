#include "support/test_deadline.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <string>

namespace veldrask::testing {

TestDeadline::TestDeadline(std::chrono::milliseconds limit) {
  const ::testing::TestInfo* info = ::testing::UnitTest::GetInstance()->current_test_info();
  const std::string name = info != nullptr
                               ? std::string(info->test_suite_name()) + "." + info->name()
                               : std::string("the test");
  watcher_ = std::thread([this, limit, name] {
    std::unique_lock lock(mutex_);
    if (finished_.wait_for(lock, limit, [this] { return done_; })) return;
    std::fprintf(stderr, "\n%s exceeded its time limit of %lld ms; exiting\n", name.c_str(),
                 static_cast<long long>(limit.count()));
    std::fflush(stderr);
    std::_Exit(124);
  });
}

TestDeadline::~TestDeadline() {
  {
    std::lock_guard lock(mutex_);
    done_ = true;
  }
  finished_.notify_all();
  watcher_.join();
}

}  // namespace veldrask::testing
