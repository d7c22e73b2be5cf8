#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "base/error.h"
#include "base/records.h"
#include "common/control_surface.h"
#include "common/file_icons.h"
#include "common/properties.h"
#include "common/registry_settings.h"
#include "download/download_owner.h"
#include "platform/platform.h"

namespace veldrask {

// The download screen: the files the server offers in DownloadFileList, the ticked totals,
// the folder choice and the download command that hands the ticked rows to the download
// window. It is also the window's owner, answering from the control's properties.
class DownloadList final : public DownloadOwner {
 public:
  // downloadFolder is the control's DownloadFolder, which the folder choice changes; icons is
  // the icon store the upload queue shares. Everything passed in must outlive the list.
  DownloadList(Platform& platform, ControlSurface& surface, const Properties& properties,
               RegistrySettings& registry, std::string& downloadFolder, FileIcons& icons);
  DownloadList(const DownloadList&) = delete;
  DownloadList& operator=(const DownloadList&) = delete;

  // Lists one file the server offers, ticked: name is the server path, still URL-encoded.
  // Steps that fail are skipped; nothing is reported. A name already listed adds nothing.
  void AddDownloadFile(std::string_view name, std::int32_t size);

  // A copy of the files of the latest download command, then an empty entry
  // (FilesOfDownloadList, base/records.h).
  std::vector<AttachedFile> DownFileList() const override { return downFiles_; }
  std::string downFolder() const override { return downloadFolder_; }
  bool CheckDupFile() const override;
  std::string EngTitleVer() const override;
  std::string HostName() const override { return properties_.hostName; }
  std::int16_t ServerPort() const override { return properties_.serverPort; }
  std::string MainTitle() const override { return properties_.mainTitle; }
  ExchangeObserver* Observer() const override { return observer_; }
  bool NamesInUtf8() const override;
  void SetExchangeObserver(ExchangeObserver* observer) { observer_ = observer; }
  const HostOptions& GetHostOptions() const override { return hostOptions_; }
  void SetHostOptions(const HostOptions& options) { hostOptions_ = options; }

 private:
  // The user's actions.
  void DownloadFileList_ItemCheck(std::int32_t row);
  void DownloadFileList_ColumnClick(std::int32_t column);
  void cmdDownload_Click();
  void cmdSelFolder_Click();
  void cmdFolderView_Click();

  // The size column read back.
  std::int32_t RowSize(std::int32_t row) const;
  void ShowTotals(std::int16_t count, std::int32_t size);
  void ShowFailure(const Error& error);
  // Runs an action of the user; a failure is shown, never thrown into the event loop.
  template <typename Action>
  void Guarded(Action action);

  Platform& platform_;
  ControlSurface& surface_;
  const Properties& properties_;
  RegistrySettings& registry_;
  std::string& downloadFolder_;
  FileIcons& icons_;

  std::int16_t downloadKeySeq_ = 1;
  std::int16_t downloadCount_ = 0;
  std::int32_t downloadTotalSize_ = 0;
  std::int16_t checkedCount_ = 0;
  std::int32_t checkedSize_ = 0;
  bool checkAllState_ = true;
  std::vector<AttachedFile> downFiles_;
  ExchangeObserver* observer_ = nullptr;
  HostOptions hostOptions_;
};

}  // namespace veldrask
