#include "download_server_fixture.h"

#include "support/hex.h"

namespace veldrask::testing {

headless::HeadlessForm& DownloadServerTest::Run() {
  window_ = std::make_unique<DownloadWindow>(base.Get(), owner, nullptr, nullptr, nullptr);
  window_->ShowModal();
  return *base.ui.FindForm("frmDNProcess");
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
