// The upload command on the control DLL: the user's clicks and dialog, the script's calls.

#include <filesystem>
#include <span>
#include <string>
#include <vector>

#include "base/text.h"
#include "command_plan.h"
#include "commands.h"
#include "native_path.h"
#include "queue_allowance.h"
#include "reply_file.h"
#include "retry.h"
#include "win32/wide_text.h"

namespace veldrask::host {
namespace {

constexpr char kAddButton[] = "추가";

std::int32_t Count(DllSession& session, std::string_view property) {
  return static_cast<std::int32_t>(std::stol(session.Get(property)));
}

// Adds the paths one at a time, as a user choosing one file per click of the add button: a
// refused file does not take the files after it along. Once the queue is full, the control's
// count message is shown once and the files after it are only listed. Returns the paths that
// were not queued.
std::vector<std::string> AddOneByOne(DllSession& session, const std::vector<std::string>& paths) {
  std::vector<std::string> leftOut;
  std::vector<std::string> refused;
  bool fullShown = false;
  for (const std::string& path : paths) {
    if (ConsoleInterrupt::Interrupted()) return refused;
    const std::int32_t before = Count(session, "CurrentFileCount");
    const bool full = before >= Count(session, "MaxFileCount");
    if (full && fullShown) {
      leftOut.push_back(path);
      refused.push_back(path);
      continue;
    }
    fullShown = fullShown || full;
    const std::size_t slash = path.find_last_of('\\');
    session.User().ChooseFiles(path.substr(0, slash + 1), {path.substr(slash + 1)});
    session.Host().ClickButton(kAddButton);
    session.User().ForgetChoices();
    if (Count(session, "CurrentFileCount") == before) refused.push_back(path);
  }
  if (!leftOut.empty()) {
    session.Output().Print("veldrask: upload: also left out, the queue was full: " +
                           Listed(leftOut));
  }
  return refused;
}

std::int64_t FileSize(const std::string& path) {
  std::error_code error;
  const std::uintmax_t size = std::filesystem::file_size(win32::Widen(path), error);
  return error ? 0 : static_cast<std::int64_t>(size);
}

QueueLimits LimitsOf(DllSession& session, const Options& options) {
  QueueLimits limits{.maxFileCount = Count(session, "MaxFileCount"),
                     .maxFileSize = Count(session, "MaxFileSize"),
                     .unitFileSize = Count(session, "UnitFileSize"),
                     .excludeFileExtension = session.Get("ExcludeFileExtension"),
                     .rowsBefore = static_cast<std::int32_t>(options.uploaded.size())};
  for (const NamedSize& file : options.uploaded) limits.bytesBefore += file.size;
  return limits;
}

}  // namespace

bool RunUpload(DllSession& session, const Options& options, std::ostream& out) {
  const std::vector<std::string> paths =
      ChosenPaths(options, std::nullopt, session.Output(), DialogPath);
  ReplyFile replyFile(options.output, out);

  // The page's script shows the upload screen and lists the files already on the server.
  if (session.Get("UpDownload") != "0") session.Put("UpDownload", "0");
  for (const NamedSize& file : options.uploaded) {
    session.Call("AddUploadedFile", {file.name, ToDecimal(file.size)});
  }

  const QueueLimits limits = LimitsOf(session, options);
  const std::vector<std::string> refused = AddOneByOne(session, paths);
  if (ConsoleInterrupt::Interrupted()) return true;
  if (!RefusalsAllowSending(options, limits, paths, refused, session.Output(), FileSize)) {
    return false;
  }

  if (ConsoleInterrupt::Interrupted()) return true;
  for (const auto& [name, value] : options.fields) session.Call("AddPostData", {name, value});
  const std::size_t messagesBefore = session.MessageCount();
  const bool kept = KeepReply(
      replyFile, session.Exchange(),
      [&] {
        session.StartClock();
        return SubmitRetrying(session, options.retries, ConsoleInterrupt::Interrupted, [&] {
          std::string reply = session.Call("Submit");
          session.TransferEnded();
          return reply;
        });
      },
      out, session.Output());
  if (!kept) return false;
  session.ReportLocation();
  if (const auto hint =
          CharsetHint(session.Get("Charset"), options, paths, session.Exchange().LastHead())) {
    session.Output().Print(*hint);
  }
  // A transfer that the user or a time limit stopped, or that the control already reported,
  // is not judged again here.
  if (ConsoleInterrupt::Interrupted() || session.TimedOut()) return true;
  if (session.MessageCount() > messagesBefore) return true;
  return JudgeReplyStatus(session.Get("HTTPResponseStatus"), session.Get("HostName"),
                          session.Output(), session.Exchange());
}

}  // namespace veldrask::host
