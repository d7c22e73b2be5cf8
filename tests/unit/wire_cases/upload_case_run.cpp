#include "upload_case_run.h"

#include <map>

#include "control_entries.h"
#include "fake_upload_owner.h"
#include "memory_file_system.h"
#include "upload/upload_request.h"
#include "upload/upload_window.h"
#include "upload/utf8_code_page.h"

namespace veldrask::testing {
namespace {

constexpr std::string_view kForm = "frmProcess";

// What Submit composes from, as a run's entries set it.
struct Composition {
  UploadSettings settings{.actionUrl = "/up.php",
                          .hostName = "example.test",
                          .cookie = "",
                          .boundary = "Q7x2Lm9PzA4kT0rWb8Nc1YeV5sHu3JdG",
                          .filePrefix = "file",
                          .paddingZero = "0"};
  bool utf8 = false;
  std::vector<PostData> fields;
};

// The settings a run may give, by the control's member names.
const std::map<std::string_view, std::string UploadSettings::*> kTextSettings = {
    {"ActionURL", &UploadSettings::actionUrl},   {"HostName", &UploadSettings::hostName},
    {"Cookie", &UploadSettings::cookie},         {"Boundary", &UploadSettings::boundary},
    {"FilePrefix", &UploadSettings::filePrefix}, {"PaddingZero", &UploadSettings::paddingZero},
};

void SetUp(const CaseSection& section, const ControlEntry& entry, const CaseWords& words,
           Composition& composition, FakeUploadOwner& owner) {
  const std::string value = RenderText(entry.value, words);
  if (!entry.setting) {
    const std::vector<std::string> field = RenderWords(entry.value, words);
    if (entry.name != "AddPostData" || field.empty() || field.size() > 2) {
      section.Fail(entry.line, "AddPostData NAME VALUE, or a setting");
    }
    composition.fields.push_back({field[0], field.size() > 1 ? field[1] : ""});
  } else if (const auto text = kTextSettings.find(entry.name); text != kTextSettings.end()) {
    composition.settings.*(text->second) = value;
  } else if (entry.name == "ServerPort") {
    owner.port = static_cast<std::int16_t>(EntryNumber(section, entry));
  } else if (entry.name == "BufferSize") {
    owner.bufferSize = EntryNumber(section, entry);
  } else if (entry.name == "Charset") {
    composition.utf8 = value == "UTF-8";
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
  FakeUploadOwner owner;
  Composition composition;
  for (const ControlEntry& entry : ControlEntries(run_.control)) {
    try {
      SetUp(run_.control, entry, words_, composition, owner);
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
  const CodePage& body = composition.utf8 ? static_cast<const CodePage&>(utf8) : base_.ansi;
  ComposeUploadRequest(composition.settings, composition.fields, keys, files, body, owner.request);
  owner.boundary = composition.settings.boundary;
  owner.host = composition.settings.hostName;

  Platform platform{base_.loop,  base_.network, files,        base_.registry, base_.shell,
                    base_.clock, base_.ansi,    base_.locale, base_.random,   base_.ui};
  UploadWindow window(platform, owner, nullptr, nullptr, nullptr, base_.ansi, body);
  window.ShowModal();

  ObservedRun observed;
  ReadWindow(base_.ui, kForm, "UploadFileList", observed);
  observed.messages = base_.ui.Messages();
  observed.replies = owner.responses;
  observed.replyStatuses = owner.statuses;
  return observed;
}

}  // namespace veldrask::testing
