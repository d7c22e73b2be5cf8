#pragma once

#include <gtest/gtest.h>

#include <memory>

#include "headless/headless_ui.h"
#include "task_loop.h"

namespace veldrask::headless {

class HeadlessTest : public ::testing::Test {
 protected:
  testing::TaskLoop loop;
  HeadlessUi ui{loop};
  std::unique_ptr<HeadlessForm> form = ui.CreateHeadlessForm("frmMain", "전송", {0, 0, 4800, 3600});
};

}  // namespace veldrask::headless
