// The upload command: what a user and the page's script do on the upload screen.

#include <algorithm>
#include <filesystem>
#include <set>
#include <string>
#include <vector>

#include "base/text.h"
#include "command_plan.h"
#include "commands.h"
#include "file_selection.h"
#include "page_checks.h"
#include "platform/ui.h"
#include "queue_allowance.h"
#include "reply_file.h"
#include "retry.h"

namespace veldrask::host {
namespace {

// Adds the paths one at a time, as a user choosing one file per click of the add command: a
// refused file does not take the files after it along. Once the queue is full, the control's
// count message is shown once and the files after it are only listed. Returns the paths that
// were not queued.
std::vector<std::string> AddOneByOne(ControlSession& session,
                                     const std::vector<std::string>& paths) {
  UploaderControl& control = session.Control();
  std::vector<std::string> leftOut;
  std::vector<std::string> refused;
  bool fullShown = false;
  for (const std::string& path : paths) {
    if (session.Interrupted()) return refused;
    const bool full = control.CurrentFileCount() >= control.MaxFileCount();
    if (full && fullShown) {
      leftOut.push_back(path);
      refused.push_back(path);
      continue;
    }
    fullShown = fullShown || full;
    session.Ui().SetFileOpenAnswer([&path](const FileDialog&) { return path; });
    session.Surface().Click("cmdAdd");
    session.Ui().SetFileOpenAnswer(nullptr);
    if (!control.Surface().uploadFileList.HasKey(path)) refused.push_back(path);
  }
  if (!leftOut.empty()) {
    session.Output().Print("veldrask: upload: also left out, the queue was full: " +
                           Listed(leftOut));
  }
  return refused;
}

std::int64_t FileSize(const std::string& path) {
  std::error_code error;
  const std::uintmax_t size = std::filesystem::file_size(path, error);
  return error ? 0 : static_cast<std::int64_t>(size);
}

QueueLimits LimitsOf(UploaderControl& control, const Options& options) {
  QueueLimits limits{.maxFileCount = control.MaxFileCount(),
                     .maxFileSize = control.MaxFileSize(),
                     .unitFileSize = control.UnitFileSize(),
                     .excludeFileExtension = control.ExcludeFileExtension(),
                     .rowsBefore = static_cast<std::int32_t>(options.uploaded.size())};
  for (const NamedSize& file : options.uploaded) limits.bytesBefore += file.size;
  return limits;
}

// The reply's status: true for 2xx. A transfer that the user or a time limit stopped, or
// that the control already reported, is not judged again here.
bool JudgeReply(ControlSession& session, std::size_t messagesBefore) {
  if (session.Interrupted() || session.TimedOut()) return true;
  if (session.MessageCount() > messagesBefore) return true;
  return JudgeReplyStatus(session.Control().HTTPResponseStatus(), session.Control().HostName(),
                          session.Output(), session.Exchange());
}

}  // namespace

bool RunUpload(ControlSession& session, const Options& options, std::ostream& out) {
  UploaderControl& control = session.Control();
  const std::filesystem::path workingFolder = std::filesystem::current_path();
  const std::vector<std::string> paths =
      ChosenPaths(options, control.Surface().comOpen.MaxFileSize(), session.Output(),
                  [&](const std::string& file) { return UploadPath(file, workingFolder); });
  ReplyFile replyFile(options.output, out);

  // The page's script shows the upload screen and lists the files already on the server.
  if (control.UpDownload() != "0") control.SetUpDownload("0");
  for (const NamedSize& file : options.uploaded) control.AddUploadedFile(file.name, file.size);

  const QueueLimits limits = LimitsOf(control, options);
  const std::vector<std::string> refused = AddOneByOne(session, paths);
  if (session.Interrupted()) return true;
  if (!RefusalsAllowSending(options, limits, paths, refused, session.Output(), FileSize)) {
    return false;
  }

  for (const auto& [name, value] : options.fields) control.AddPostData(name, value);
  if (session.Interrupted()) return true;
  const std::size_t messagesBefore = session.MessageCount();
  const bool kept = KeepReply(
      replyFile, session.Exchange(),
      [&] {
        session.StartClock();
        return SubmitRetrying(session, options.retries, InterruptWatch::Interrupted,
                              [&] { return control.Submit(); });
      },
      out, session.Output());
  if (!kept) return false;
  if (const auto hint =
          CharsetHint(control.Charset(), options, paths, session.Exchange().LastHead())) {
    session.Output().Print(*hint);
  }
  return JudgeReply(session, messagesBefore);
}

}  // namespace veldrask::host
