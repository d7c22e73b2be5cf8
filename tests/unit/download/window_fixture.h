#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "base/records.h"
#include "download/download_window.h"
#include "fake_owner.h"
#include "headless/headless_ui.h"
#include "scripted_network.h"
#include "task_loop.h"
#include "test_platform.h"

namespace veldrask::testing {

// The download window on the test platform with a scripted server and real files.
class DownloadWindowTest : public ::testing::Test {
 protected:
  DownloadWindowTest() { owner.folder = base.Scratch() / "down"; }

  // Shows the window; the whole session runs before this returns.
  headless::HeadlessForm& Run() {
    window_ = std::make_unique<DownloadWindow>(platform, owner, nullptr, nullptr, nullptr);
    window_->ShowModal();
    return *ui.FindForm("frmDNProcess");
  }
  std::string Caption(std::string_view widget) {
    return ui.FindForm("frmDNProcess")->Get(widget).Caption();
  }
  headless::HeadlessListView& Rows() {
    return ui.FindForm("frmDNProcess")->Get<headless::HeadlessListView>("DownloadFileList");
  }
  std::string Status(std::int32_t row) { return Rows().SubItem(row, 2); }

  std::filesystem::path Folder() const { return owner.folder; }
  // The names in the download folder, sorted.
  std::vector<std::string> FolderNames() const { return SortedNamesIn(Folder()); }
  std::string Content(std::string_view name) const;
  void Put(std::string_view name, std::string_view content) const;

  TestPlatform base;
  TaskLoop loop;
  ScriptedNetwork network{loop, base.clock};
  headless::HeadlessUi ui{loop};
  Platform platform{loop,       network,   base.files,  base.registry, base.shell,
                    base.clock, base.ansi, base.locale, base.random,   ui};
  FakeOwner owner;

 private:
  std::unique_ptr<DownloadWindow> window_;
};

}  // namespace veldrask::testing
