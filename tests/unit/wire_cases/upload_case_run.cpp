#include "upload_case_run.h"

#include "control_entries.h"
#include "headless/list_view.h"
#include "memory_file_system.h"
#include "upload/upload_request.h"
#include "upload/upload_window.h"
#include "upload/utf8_code_page.h"

namespace veldrask::testing {
namespace {

constexpr std::string_view kForm = "frmProcess";

// What the upload window reads of the control, as a run's entries set it.
class CaseUploadOwner final : public UploadOwner {
 public:
  std::vector<AttachedFile> AttachedFileList() const override { return request.attachedFiles; }
  std::string EngTitleVer() const override { return "엔진 Ver 1.8"; }
  std::int32_t BufferSize() const override { return bufferSize; }
  std::string Boundary() const override { return settings.boundary; }
  std::string HostName() const override { return settings.hostName; }
  std::int16_t ServerPort() const override { return port; }
  std::string UploadHTTPHeader() const override { return request.httpHeader; }
  std::string UploadHTTPFormData() const override { return request.formData; }
  std::string MainTitle() const override { return "업로드 [엔진 Ver 1.8]"; }
  void SetHTTPResponseData(std::string data) override { replies.push_back(std::move(data)); }
  void SetHTTPResponseStatus(std::string status) override { statuses.push_back(std::move(status)); }
  ExchangeObserver* Observer() const override { return nullptr; }

  UploadSettings settings{.actionUrl = "/up.php",
                          .hostName = "example.test",
                          .cookie = "",
                          .boundary = "Q7x2Lm9PzA4kT0rWb8Nc1YeV5sHu3JdG",
                          .filePrefix = "file",
                          .paddingZero = "0"};
  std::int16_t port = 8080;
  std::int32_t bufferSize = 8192;
  bool utf8 = false;
  std::vector<PostData> fields;
  UploadRequest request;
  std::vector<std::string> replies;
  std::vector<std::string> statuses;
};

void SetUp(const CaseSection& section, const ControlEntry& entry, const CaseWords& words,
           CaseUploadOwner& owner) {
  const std::string value = RenderText(entry.value, words);
  UploadSettings& settings = owner.settings;
  if (!entry.setting) {
    const std::vector<std::string> field = RenderWords(entry.value, words);
    if (entry.name != "AddPostData" || field.empty() || field.size() > 2) {
      section.Fail(entry.line, "AddPostData NAME VALUE, or a setting");
    }
    owner.fields.push_back({field[0], field.size() > 1 ? field[1] : ""});
  } else if (entry.name == "ActionURL") {
    settings.actionUrl = value;
  } else if (entry.name == "HostName") {
    settings.hostName = value;
  } else if (entry.name == "Cookie") {
    settings.cookie = value;
  } else if (entry.name == "Boundary") {
    settings.boundary = value;
  } else if (entry.name == "FilePrefix") {
    settings.filePrefix = value;
  } else if (entry.name == "PaddingZero") {
    settings.paddingZero = value;
  } else if (entry.name == "ServerPort") {
    owner.port = static_cast<std::int16_t>(EntryNumber(section, entry));
  } else if (entry.name == "BufferSize") {
    owner.bufferSize = EntryNumber(section, entry);
  } else if (entry.name == "Charset") {
    owner.utf8 = value == "UTF-8";
  } else {
    section.Fail(entry.line, "no such upload setting: " + entry.name);
  }
}

}  // namespace

UploadCaseRun::UploadCaseRun(TestPlatform& base, const CaseRun& run, const CaseWords& words)
    : base_(base), run_(run), words_(words) {
  for (const CaseSection& file : run.files) {
    std::string path;
    for (const std::string& word : file.arguments) path += (path.empty() ? "" : " ") + word;
    files_[RenderText(path, words)] = RenderData(file, words);
  }
}

CaseWords UploadCaseRun::Words() const {
  return [this](std::string_view word, std::string_view argument) -> std::string {
    if (word != "file") return words_(word, argument);
    const std::vector<std::string> parts = RenderWords(argument, NoWords);
    const auto file = parts.empty() ? files_.end() : files_.find(parts[0]);
    if (file == files_.end()) throw CaseError("no such file: " + std::string(argument));
    const std::size_t from = parts.size() > 1 ? std::stoul(parts[1]) : 0;
    const std::size_t to = parts.size() > 2 ? std::stoul(parts[2]) : file->second.size();
    return file->second.substr(from, to - from);
  };
}

ObservedRun UploadCaseRun::Run() {
  CaseUploadOwner owner;
  for (const ControlEntry& entry : ControlEntries(run_.control)) {
    try {
      SetUp(run_.control, entry, words_, owner);
    } catch (const CaseError& error) {
      run_.control.Fail(entry.line, error.what());
    }
  }
  MemoryFileSystem files;
  std::vector<std::string> keys;
  for (const CaseSection& file : run_.files) {
    std::string path;
    for (const std::string& word : file.arguments) path += (path.empty() ? "" : " ") + word;
    keys.push_back(RenderText(path, words_));
    files.Put(keys.back(), files_.at(keys.back()));
  }
  static const Utf8CodePage utf8;
  const CodePage& body = owner.utf8 ? static_cast<const CodePage&>(utf8) : base_.ansi;
  ComposeUploadRequest(owner.settings, owner.fields, keys, files, body, owner.request);

  Platform platform{base_.loop,  base_.network, files,        base_.registry, base_.shell,
                    base_.clock, base_.ansi,    base_.locale, base_.random,   base_.ui};
  UploadWindow window(platform, owner, nullptr, nullptr, nullptr, base_.ansi, body);
  window.ShowModal();

  ObservedRun observed;
  headless::HeadlessForm& form = *base_.ui.FindForm(kForm);
  observed.windowOpen = form.IsOpen();
  auto& list = form.Get<headless::HeadlessListView>("UploadFileList");
  for (std::int32_t row = 1; row <= list.RowCount(); ++row) {
    observed.statuses.push_back(list.SubItem(row, kStatusColumn));
    observed.names.push_back(list.RowText(row));
  }
  observed.messages = base_.ui.Messages();
  observed.replies = owner.replies;
  observed.replyStatuses = owner.statuses;
  return observed;
}

}  // namespace veldrask::testing
