// AddPostData and Submit: the control composes the upload request and runs the upload window.

#include <utility>

#include "base/checked.h"
#include "base/error.h"
#include "common/request_charset.h"
#include "common/server_address.h"
#include "control/uploader_control.h"
#include "upload/host_name.h"
#include "upload/upload_owner.h"
#include "upload/upload_request.h"
#include "upload/upload_window.h"
#include "upload/utf8_code_page.h"

namespace veldrask {
namespace {

constexpr std::string_view kMissingServer =
    "서버명 이나 서버에서 처리될 스크립트가 존재하지 않습니다.";

// What the upload window reads of the control, and the reply it stores.
class ControlUploadOwner final : public UploadOwner {
 public:
  explicit ControlUploadOwner(UploaderControl& control) : control_(control) {}

  std::vector<AttachedFile> AttachedFileList() const override {
    return control_.AttachedFileList();
  }
  std::string EngTitleVer() const override { return control_.EngTitleVer(); }
  std::int32_t BufferSize() const override { return control_.BufferSize(); }
  std::string Boundary() const override { return control_.Boundary(); }
  std::string HostName() const override { return control_.HostName(); }
  std::int16_t ServerPort() const override { return control_.ServerPort(); }
  std::string UploadHTTPHeader() const override { return control_.UploadHTTPHeader(); }
  std::string UploadHTTPFormData() const override { return control_.UploadHTTPFormData(); }
  std::string MainTitle() const override { return control_.MainTitle(); }
  void SetHTTPResponseData(std::string data) override { control_.SetHTTPResponseData(data); }
  void SetHTTPResponseStatus(std::string status) override { status_ = std::move(status); }
  ExchangeObserver* Observer() const override { return control_.Observer(); }
  const HostOptions& GetHostOptions() const override { return control_.GetHostOptions(); }

  const std::string& Status() const { return status_; }

 private:
  UploaderControl& control_;
  std::string status_;
};

}  // namespace

void UploaderControl::AddPostData(std::string_view name, std::string_view value) {
  // The field count is a 16-bit value: the 32768th field overflows and is not added.
  CheckedAdd<std::int16_t>(static_cast<std::int16_t>(postDataList_.size()), 1);
  postDataList_.push_back(PostData{std::string(name), std::string(value)});
}

std::string UploaderControl::Submit() {
  properties_.hostName = NormalizeHostName(properties_.hostName);
  properties_.responseData.clear();
  properties_.responseStatus.clear();
  const ServerAddress server = ParseServerAddress(properties_.hostName);
  if (properties_.actionUrl.empty() || server.host.empty()) {
    platform_.ui.ShowMessage(kMissingServer, MessageIcon::kNone, std::nullopt);
    return {};
  }

  Document* document = host_.HostDocument();
  try {
    if (document == nullptr) throw Error(ErrorNumber::kObjectRequired);
    cookie_ = document->Cookie();
    static const Utf8CodePage utf8;
    const CodePage& body = RequestCodePage(properties_.charset, platform_.ansi, utf8);

    const std::vector<std::string> rowKeys = queue_->LocalRowKeys();
    const UploadSettings settings{
        properties_.actionUrl,   server.host, cookie_, properties_.boundary, properties_.filePrefix,
        properties_.paddingZero, hostOptions_};
    ComposeUploadRequest(settings, postDataList_, rowKeys, platform_.files, body, request_);

    ControlUploadOwner owner(*this);
    UploadWindow window(platform_, owner, surface_->form.get(), &surface_->smallIconImageList,
                        &surface_->largeIconImageList, platform_.ansi, body);
    window.ShowModal();
    properties_.responseStatus = owner.Status();
  } catch (const Error& error) {
    postDataList_.clear();
    platform_.ui.ShowMessage(FormatErrorMessage(error), MessageIcon::kCritical,
                             properties_.mainTitle);
    return {};
  }

  const std::string_view scheme = server.transport == Transport::kTls ? "https://" : "http://";
  document->SetLocation(std::string(scheme) + server.host + properties_.returnUrl);
  return properties_.responseData;
}

}  // namespace veldrask
