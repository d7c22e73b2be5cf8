#include "download_server_fixture.h"

#include <algorithm>

#include "support/hex.h"

namespace veldrask::testing {

headless::HeadlessForm& DownloadServerTest::Run() {
  window_ = std::make_unique<DownloadWindow>(base.Get(), owner, nullptr, nullptr);
  window_->ShowModal();
  return *base.ui.FindForm("frmDNProcess");
}

std::vector<std::string> DownloadServerTest::FolderNames() const {
  std::vector<std::string> names;
  if (!std::filesystem::exists(Folder())) return names;
  for (const auto& entry : std::filesystem::directory_iterator(Folder())) {
    names.push_back(entry.path().filename().string());
  }
  std::sort(names.begin(), names.end());
  return names;
}

std::string DownloadServerTest::Status(std::int32_t row) {
  return base.ui.FindForm("frmDNProcess")
      ->Get<headless::HeadlessListView>("DownloadFileList")
      .SubItem(row, 2);
}

std::string TargetFor(std::string_view nameBytes) {
  return "/" + PercentEncodePath(nameBytes);
}

}  // namespace veldrask::testing
