#include "control/uploader_control.h"

#include "base/checked.h"
#include "common/captions.h"
#include "common/url_encoding.h"
#include "control/boundary.h"

namespace veldrask {

UploaderControl::UploaderControl(Platform& platform, Host& host)
    : platform_(platform),
      host_(host),
      registry_(platform.registry, platform.ansi),
      surface_(BuildControlSurface(platform.ui)),
      queue_(std::make_unique<UploadQueue>(platform, *surface_, properties_)),
      downloads_(std::make_unique<DownloadList>(platform, *surface_, properties_, registry_,
                                                downloadFolder_, queue_->Icons())) {
  StartUp();
}

UploaderControl::~UploaderControl() = default;

void UploaderControl::StartUp() {
  ControlSurface& s = *surface_;
  const NumberStyle numbers = platform_.locale.Numbers();

  s.mainFrame.SetCaption(properties_.mainTitle);
  s.dnMainFrame.SetCaption(properties_.mainTitle);
  s.lblTotalFileCount.SetCaption(FileCountCaption(0, properties_.maxFileCount));
  s.comOpen.SetMaxFileSize(1024);  // room for the names of a multiple selection
  s.lblRemainFileSize.SetCaption(KilobyteCaption(properties_.remainSize, numbers));
  ReadDownloadFolder();
  properties_.boundary = MakeBoundary(32, platform_.random);
  PrepareList(s.uploadFileList);
  PrepareList(s.downloadFileList);
  ConnectViewOptions();
  s.form->Show();
}

void UploaderControl::ReadDownloadFolder() {
  std::string folder = registry_.ReadString(kLocalMachine, kSettingsKeyPath, kDownPathValueName);
  if (folder.empty()) {
    folder = platform_.files.DefaultDownloadFolder();
    registry_.SaveString(kLocalMachine, kSettingsKeyPath, kDownPathValueName, folder);
  }
  surface_->lblDownloadFolder.SetCaption(folder);
  downloadFolder_ = std::move(folder);
}

void UploaderControl::PrepareList(ListView& list) {
  list.AddColumn({"filename", "파일 이름", 4000, Alignment::kLeft});
  list.AddColumn({"fiesize", "파일 크기(Bytes)", 1700, Alignment::kRight});
  list.AddColumn({"fietype", "파일 형식", 1700, Alignment::kLeft});
  list.SetImageLists(&surface_->largeIconImageList, &surface_->smallIconImageList);
  list.SetView(ListViewMode::kReport);
  list.SetLabelEditAutomatic(false);
}

void UploaderControl::ConnectViewOptions() {
  ControlSurface& s = *surface_;
  s.optLargeIcon.SetOnClick([this] { ShowUploadList(ListViewMode::kLargeIcon); });
  s.optSmallIcon.SetOnClick([this] { ShowUploadList(ListViewMode::kSmallIcon); });
  s.optList.SetOnClick([this] { ShowUploadList(ListViewMode::kList); });
  s.optReport.SetOnClick([this] { ShowUploadList(ListViewMode::kReport); });
}

void UploaderControl::ShowUploadList(ListViewMode mode) {
  ListView& list = surface_->uploadFileList;
  list.SetView(mode);
  list.Refresh();
  list.SetView(mode);
  if (mode == ListViewMode::kLargeIcon || mode == ListViewMode::kSmallIcon) list.ArrangeLeft();
}

void UploaderControl::ShowUploadScreen() {
  SetUploadScreenVisible(*surface_->form, true);
}
void UploaderControl::HideUploadScreen() {
  SetUploadScreenVisible(*surface_->form, false);
}
void UploaderControl::HideDownloadScreen() {
  SetDownloadScreenVisible(*surface_->form, false);
}

void UploaderControl::ShowDownloadScreen() {
  surface_->dnMainFrame.Move(0, 0);
  SetDownloadScreenVisible(*surface_->form, true);
}

std::string UploaderControl::EngTitleVer() const {
  return std::string(kEngineTitle);
}

std::string UploaderControl::URLDecode(std::string_view strURL) const {
  return UrlDecode(strURL, platform_.ansi);
}

std::string UploaderControl::URLEncode(std::string_view Text) const {
  return UrlEncode(Text, platform_.ansi);
}

void UploaderControl::StoreString(std::string& member, std::string_view value,
                                  std::string_view name) {
  member = value;
  host_.PropertyChanged(name);
}

void UploaderControl::SetMaxFileCount(std::int16_t value) {
  properties_.maxFileCount = value;
  host_.PropertyChanged("MaxFileCount");
  surface_->lblTotalFileCount.SetCaption(FileCountCaption(0, value));
}

void UploaderControl::SetMaxFileSize(std::int32_t value) {
  properties_.maxFileSize = value;
  host_.PropertyChanged("MaxFileSize");
  properties_.remainSize = CheckedMul<std::int32_t>(value, 1024);
  surface_->lblRemainFileSize.SetCaption(
      KilobyteCaption(properties_.remainSize, platform_.locale.Numbers()));
}

void UploaderControl::SetUnitFileSize(std::int32_t value) {
  properties_.unitFileSize = value;
  host_.PropertyChanged("UnitFileSize");
}

void UploaderControl::SetMainTitle(std::string_view value) {
  std::string composed(value);
  composed += " [";
  composed += kEngineTitle;
  composed += "]";
  StoreString(properties_.mainTitle, composed, "MainTitle");
  surface_->mainFrame.SetCaption(properties_.mainTitle);
  surface_->dnMainFrame.SetCaption(properties_.mainTitle);
}

void UploaderControl::SetHostName(std::string_view value) {
  StoreString(properties_.hostName, value, "HostName");
}

void UploaderControl::SetActionURL(std::string_view value) {
  StoreString(properties_.actionUrl, value, "ActionURL");
}

void UploaderControl::SetReturnURL(std::string_view value) {
  StoreString(properties_.returnUrl, value, "ReturnURL");
}

void UploaderControl::SetServerPort(std::int16_t value) {
  properties_.serverPort = value;
  host_.PropertyChanged("ServerPort");
}

void UploaderControl::SetFilePrefix(std::string_view value) {
  StoreString(properties_.filePrefix, value, "FilePrefix");
}

void UploaderControl::SetPaddingZero(std::string_view value) {
  StoreString(properties_.paddingZero, value, "PaddingZero");
}

void UploaderControl::SetExcludeFileExtension(std::string_view value) {
  StoreString(properties_.excludeFileExtension, value, "ExcludeFileExtension");
}

void UploaderControl::SetBufferSize(std::int32_t value) {
  properties_.bufferSize = value;
  host_.PropertyChanged("BufferSize");
}

void UploaderControl::SetCharset(std::string_view value) {
  StoreString(properties_.charset, value, "Charset");
}

void UploaderControl::SetHostOptions(const HostOptions& options) {
  hostOptions_ = options;
  downloads_->SetHostOptions(options);
}

void UploaderControl::SetExchangeObserver(ExchangeObserver* observer) {
  observer_ = observer;
  downloads_->SetExchangeObserver(observer);
}

void UploaderControl::SetHTTPResponseData(std::string_view value) {
  properties_.responseData = value;  // no change notification for the reply
}

void UploaderControl::SetUpDownload(std::string_view value) {
  StoreString(properties_.upDownload, value, "UpDownload");
  if (properties_.upDownload == "0") {
    HideDownloadScreen();
    ShowUploadScreen();
  } else {
    HideUploadScreen();
    ShowDownloadScreen();
  }
}

std::int32_t UploaderControl::RegiSaveString(std::int32_t HKey, std::string_view strPath,
                                             std::string_view strValueName,
                                             std::string_view strData) {
  return registry_.SaveString(HKey, strPath, strValueName, strData);
}

std::int32_t UploaderControl::RegiDeleteKey(std::int32_t HKey, std::string_view strKey) {
  return registry_.DeleteKey(HKey, strKey);
}

std::int32_t UploaderControl::RegiDeleteValue(std::int32_t HKey, std::string_view strPath,
                                              std::string_view strValueName) {
  return registry_.DeleteValue(HKey, strPath, strValueName);
}

}  // namespace veldrask
