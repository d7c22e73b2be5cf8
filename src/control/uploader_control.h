#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "common/control_surface.h"
#include "common/properties.h"
#include "common/registry_settings.h"
#include "download/download_list.h"
#include "http/exchange_observer.h"
#include "platform/host.h"
#include "platform/platform.h"
#include "queue/upload_queue.h"
#include "upload/upload_request.h"

namespace veldrask {

// The file-transfer control that a web page embeds. Members keep the names of the control's
// scripting interface; the container calls Load or InitNew once after construction.
class UploaderControl {
 public:
  // Start-up: every member gets its start value, both screens are built, the download folder
  // is read from the registry and the boundary is made.
  UploaderControl(Platform& platform, Host& host);
  ~UploaderControl();
  UploaderControl(const UploaderControl&) = delete;
  UploaderControl& operator=(const UploaderControl&) = delete;

  // Persistence through the container's property bag.
  void Load(PropertyBag& bag);
  void InitNew();
  void Save(PropertyBag& bag) const;

  // Appends a form field for the next upload.
  void AddPostData(std::string_view name, std::string_view value);
  // Composes the upload request, runs the upload window and returns the server's reply.
  std::string Submit();
  // The request head, the form-field section and the per-file entries of the last Submit.
  std::string UploadHTTPHeader() const { return request_.httpHeader; }
  std::string UploadHTTPFormData() const { return request_.formData; }
  std::vector<AttachedFile> AttachedFileList() const { return request_.attachedFiles; }

  std::string EngTitleVer() const;

  // URL text in the ANSI code page: %XX and double-byte %XX%XX escapes decoded ("+" stays);
  // everything but ASCII letters and digits escaped. Not inverse of each other.
  std::string URLDecode(std::string_view strURL) const;
  std::string URLEncode(std::string_view Text) const;

  std::int16_t MaxFileCount() const { return properties_.maxFileCount; }
  void SetMaxFileCount(std::int16_t value);
  std::int32_t MaxFileSize() const { return properties_.maxFileSize; }
  void SetMaxFileSize(std::int32_t value);
  std::int32_t UnitFileSize() const { return properties_.unitFileSize; }
  void SetUnitFileSize(std::int32_t value);
  std::string MainTitle() const { return properties_.mainTitle; }
  void SetMainTitle(std::string_view value);
  std::string HostName() const { return properties_.hostName; }
  void SetHostName(std::string_view value);
  std::string ActionURL() const { return properties_.actionUrl; }
  void SetActionURL(std::string_view value);
  std::string ReturnURL() const { return properties_.returnUrl; }
  void SetReturnURL(std::string_view value);
  std::int16_t ServerPort() const { return properties_.serverPort; }
  void SetServerPort(std::int16_t value);
  std::string FilePrefix() const { return properties_.filePrefix; }
  void SetFilePrefix(std::string_view value);
  std::string PaddingZero() const { return properties_.paddingZero; }
  void SetPaddingZero(std::string_view value);
  std::string ExcludeFileExtension() const { return properties_.excludeFileExtension; }
  void SetExcludeFileExtension(std::string_view value);
  std::int32_t BufferSize() const { return properties_.bufferSize; }
  void SetBufferSize(std::int32_t value);
  std::string Boundary() const { return properties_.boundary; }
  void SetHTTPResponseData(std::string_view value);
  std::string UpDownload() const { return properties_.upDownload; }
  void SetUpDownload(std::string_view value);
  std::string Charset() const { return properties_.charset; }
  void SetCharset(std::string_view value);
  // "413 Payload Too Large": the status code and reason of the last Submit's reply; empty
  // when none came (no connection, no reply, or a reply that is not HTTP).
  std::string HTTPResponseStatus() const { return properties_.responseStatus; }

  std::int32_t RegiSaveString(std::int32_t HKey, std::string_view strPath,
                              std::string_view strValueName, std::string_view strData);
  std::int32_t RegiDeleteKey(std::int32_t HKey, std::string_view strKey);
  std::int32_t RegiDeleteValue(std::int32_t HKey, std::string_view strPath,
                               std::string_view strValueName);

  // The upload queue's members of the scripting interface.
  std::int16_t CurrentFileCount() const { return queue_->CurrentFileCount(); }
  void AddUploadedFile(std::string_view name, std::int32_t size) {
    queue_->AddUploadedFile(name, size);
  }
  std::string GetUploadedFiles() const { return queue_->GetUploadedFiles(); }
  std::string GetDeletedFiles() const { return queue_->GetDeletedFiles(); }
  std::string GetUploadingFiles() { return queue_->GetUploadingFiles(); }
  UploadQueue& Queue() { return *queue_; }

  // The download screen's members of the scripting interface.
  void AddDownloadFile(std::string_view name, std::int32_t size) {
    downloads_->AddDownloadFile(name, size);
  }
  std::vector<AttachedFile> DownFileList() const { return downloads_->DownFileList(); }
  std::string downFolder() const { return downloads_->downFolder(); }
  bool CheckDupFile() const { return downloads_->CheckDupFile(); }

  // The current download folder (the registry's DownPath or the default folder).
  const std::string& DownloadFolder() const { return downloadFolder_; }
  // The remaining total allowance of the upload queue, in kilobytes.
  std::int32_t RemainSize() const { return properties_.remainSize; }

  // Lets a host follow the exchanges of both transfers (null: none); not a scripting member.
  void SetExchangeObserver(ExchangeObserver* observer);
  // What a host adds to the requests beyond a page's settings; not a scripting member.
  void SetHostOptions(const HostOptions& options);
  const HostOptions& GetHostOptions() const { return hostOptions_; }
  ExchangeObserver* Observer() const { return observer_; }

  ControlSurface& Surface() { return *surface_; }
  Platform& GetPlatform() { return platform_; }

 private:
  void StartUp();
  void ReadDownloadFolder();
  void PrepareList(ListView& list);
  void ConnectViewOptions();
  void ShowUploadList(ListViewMode mode);
  void ShowUploadScreen();
  void HideUploadScreen();
  void ShowDownloadScreen();
  void HideDownloadScreen();
  // Stores value in member and sends the change notification by name.
  void StoreString(std::string& member, std::string_view value, std::string_view name);

  Platform& platform_;
  Host& host_;
  RegistrySettings registry_;
  std::unique_ptr<ControlSurface> surface_;
  Properties properties_;
  std::unique_ptr<UploadQueue> queue_;
  std::string downloadFolder_;
  std::vector<PostData> postDataList_;
  std::string cookie_;
  UploadRequest request_;
  ExchangeObserver* observer_ = nullptr;
  HostOptions hostOptions_;
  // Last: it works on the members above.
  std::unique_ptr<DownloadList> downloads_;
};

}  // namespace veldrask
