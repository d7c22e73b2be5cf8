#pragma once

#include <gtest/gtest.h>

#include <chrono>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "download/download_window.h"
#include "headless/headless_ui.h"
#include "posix_test_platform.h"
#include "support/server_process.h"
#include "support/temp_dir.h"
#include "support/test_deadline.h"
#include "unit/download/fake_owner.h"

namespace veldrask::testing {

// The download window on the real POSIX backend against real servers on 127.0.0.1.
class DownloadServerTest : public ::testing::Test {
 protected:
  DownloadServerTest() { owner.folder = (downloads_.path() / "down").string(); }

  // Points the session at a running server.
  void Use(const ServerProcess& server) {
    owner.host = "127.0.0.1";
    owner.port = static_cast<std::int16_t>(server.port());
  }
  // Shows the window; the whole session runs before this returns.
  headless::HeadlessForm& Run();

  std::filesystem::path Folder() const { return owner.folder; }
  // The names in the download folder, sorted.
  std::vector<std::string> FolderNames() const { return SortedNamesIn(Folder()); }
  std::string Status(std::int32_t row);
  const std::vector<headless::MessageRecord>& Messages() { return base.ui.Messages(); }

  TestDeadline deadline{std::chrono::seconds(90)};
  PosixTestPlatform base;
  FakeOwner owner;

 private:
  TempDir downloads_;
  std::unique_ptr<DownloadWindow> window_;
};

// The path of a file name given as bytes: every byte outside letters, digits and -._~ as %XX,
// the form the page writes a CP949 name in.
std::string TargetFor(std::string_view nameBytes);

}  // namespace veldrask::testing
