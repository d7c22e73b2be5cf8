#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "control/uploader_control.h"
#include "error_of.h"
#include "test_platform.h"

namespace veldrask::testing {

// A control on the test platform, created by each test when it is ready (so a test can
// prepare the registry first).
class ControlTest : public ::testing::Test {
 protected:
  UploaderControl& Create() {
    control_ = std::make_unique<UploaderControl>(platform_.Get(), host_);
    return *control_;
  }
  UploaderControl& CreateNew() {
    Create().InitNew();
    return *control_;
  }
  headless::HeadlessForm& Surface() { return *platform_.ui.FindForm("UploaderControl"); }
  const std::string& Caption(std::string_view widget) { return Surface().Get(widget).Caption(); }
  bool IsVisible(std::string_view widget) { return Surface().Get(widget).Visible(); }

  TestPlatform platform_;
  RecordingHost host_;
  std::unique_ptr<UploaderControl> control_;
};

}  // namespace veldrask::testing
