#include "download/download_window.h"

#include <cctype>

#include "base/checked.h"
#include "base/text.h"
#include "common/path_names.h"
#include "common/request_charset.h"
#include "common/url_encoding.h"
#include "common/utf8_url_encoding.h"
#include "download/download_request.h"
#include "download/safe_file_name.h"

namespace veldrask {
namespace {

constexpr TransferWindowDesign kDesign{"frmDNProcess",
                                       "다운로드 진행상황",
                                       "다운로드 진행 상황",
                                       "DownloadFileList",
                                       {0, 0, 7035, 4305}};

constexpr std::string_view kStatusReceiving = "다운중";
constexpr std::string_view kStatusFailed = "실패";

constexpr std::string_view kRefusedMessage = "서버에 파일이 존재하지 않거나 에러가 발생했습니다.";
constexpr std::string_view kFailedFilesMessage = "다음 파일은 다운로드하지 못했습니다.";
constexpr std::string_view kUnsendableMessage =
    "다음 파일은 이름을 요청할 수 없어 받지 않았습니다. 시스템 코드 페이지로 나타낼 수 없는 "
    "글자가 있습니다 (Charset을 UTF-8로 하면 UTF-8로 요청합니다).";
constexpr std::string_view kBadHostMessage =
    "서버 이름(HostName)에 줄바꿈 등의 제어 문자가 있어 다운로드를 시작할 수 없습니다.";

// The extension of the server path's last piece while it is still encoded, when it is
// plain letters and digits: what a name that cannot be decoded keeps.
std::string PlainExtension(std::string_view key) {
  const std::string_view last = AfterLast(key, "/");
  const std::size_t dot = last.rfind('.');
  if (dot == std::string_view::npos || dot + 1 == last.size()) return {};
  const std::string_view extension = last.substr(dot + 1);
  for (const char c : extension) {
    if (!std::isalnum(static_cast<unsigned char>(c))) return {};
  }
  return std::string(extension);
}

// The file name that the server path ends in, decoded; the entry's own name when the path
// cannot be decoded, or the fallback name with the path's extension when that is empty.
std::string ServerFileName(const AttachedFile& entry, const CodePage& ansi, bool utf8) {
  try {
    const std::string decoded = DecodeServerPath(entry.key, ansi, utf8);
    return std::string(AfterLast(decoded, "/"));
  } catch (const Error&) {
    if (!entry.name.empty()) return entry.name;
    const std::string extension = PlainExtension(entry.key);
    return std::string(kFallbackFileName) + (extension.empty() ? "" : "." + extension);
  }
}

DownloadEnd FailureEnd(FileReceiver::Failure why) {
  switch (why) {
    case FileReceiver::Failure::kConnection:
      return DownloadEnd::kConnection;
    case FileReceiver::Failure::kCutShort:
      return DownloadEnd::kCutShort;
    case FileReceiver::Failure::kUnreadable:
    case FileReceiver::Failure::kTooLarge:
      return DownloadEnd::kUnreadable;
    case FileReceiver::Failure::kNone:
    case FileReceiver::Failure::kNotWritable:
      break;
  }
  return DownloadEnd::kNotWritable;
}

}  // namespace

DownloadWindow::DownloadWindow(Platform& platform, const DownloadOwner& owner, Form* ownerForm,
                               ImageList* smallIcons, ImageList* largeIcons)
    : TransferWindow(platform, kDesign, ownerForm, smallIcons, largeIcons),
      owner_(owner),
      progress_(std::make_unique<DownloadProgress>(block_, platform.locale.Numbers())) {}

void DownloadWindow::Run() {
  ListFiles();
  RunDownload();
}

void DownloadWindow::ListFiles() {
  PrepareFileList();

  std::string folder = owner_.downFolder();
  if (TrimSpaces(folder).empty()) folder = platform_.files.DefaultDownloadFolder();
  const std::vector<AttachedFile> entries = owner_.DownFileList();
  targets_ = std::make_unique<SessionTargets>(platform_.files, folder, owner_.CheckDupFile());
  counts_ = TransferCounts{};
  for (const AttachedFile& entry : FilesOfDownloadList(entries)) ListFile(entry, *targets_);

  ShowTitle(owner_.EngTitleVer());
  if (!sessionFiles_.empty()) {
    const SessionFile& first = sessionFiles_.front();
    progress_->Start(first.target.name, first.entry.size,
                     CheckedNarrow<std::int32_t>(sessionFiles_.size()), counts_.totalSize);
  }
  startedCount_ = 0;
  if (!platform_.files.FolderExists(folder)) platform_.files.CreateFolder(folder);
  RemoveStaleTemporaries(platform_.files, folder);
}

void DownloadWindow::ListFile(const AttachedFile& entry, SessionTargets& targets) {
  const std::string serverName = ServerFileName(entry, platform_.ansi, owner_.NamesInUtf8());
  SessionFile file{
      .entry = entry,
      .target = targets.Choose(SafeFileName(serverName, platform_.files.Separator())),
  };
  std::optional<std::int32_t> row = fileList_->AddRow(0, entry.key, file.target.name);
  // The control's list never holds a key twice; a page-made list might, and still gets rows.
  if (!row) row = fileList_->AddRow(0, "", file.target.name);
  file.row = *row;
  ShowWaitingRow(file.row, entry.size, platform_.locale.Numbers(), file.target.name,
                 ExtensionKey(serverName, "/"));
  counts_.totalSize = CheckedAdd(counts_.totalSize, entry.size);
  sessionFiles_.push_back(std::move(file));
}

void DownloadWindow::RunDownload() {
  connected_ = sendDone_ = aborted_ = false;
  if (!IsSendableHostName(owner_.HostName())) {
    platform_.ui.ShowMessage(kBadHostMessage, MessageIcon::kCritical, owner_.MainTitle());
    for (const SessionFile& file : sessionFiles_) Report(file, DownloadEnd::kNotAsked);
    return;
  }
  server_ = ParseServerAddress(owner_.HostName());
  UseSocketFor(server_.transport, RouteTo(owner_.GetHostOptions(), server_, owner_.ServerPort()));
  std::size_t next = 0;
  while (next < sessionFiles_.size() && !aborted_) {
    const FileOutcome outcome = DownloadFile(sessionFiles_[next++]);
    if (outcome == FileOutcome::kRefused || outcome == FileOutcome::kStopped) break;
  }
  CloseSocket();
  for (; next < sessionFiles_.size(); ++next) Report(sessionFiles_[next], DownloadEnd::kNotAsked);
  ShowFailedFiles();
}

DownloadWindow::FileOutcome DownloadWindow::DownloadFile(SessionFile& file) {
  ShowActiveRow(file.row, kStatusReceiving);

  currentFile_ = &file;
  connectionError_.clear();
  connectionErrorNumber_ = 0;
  redirectNote_.clear();
  counts_.currentReceived = 0;
  counts_.currentSize = file.entry.size;
  counts_.contentLength = file.entry.size;
  const std::optional<std::string> target =
      RequestTargetBytes(file.entry.key, platform_.ansi, owner_.NamesInUtf8());
  if (!target) {
    SetStatus(file.row, kStatusFailed);
    unsendableNames_.push_back(file.target.name);
    currentFile_ = nullptr;
    return FileOutcome::kFailed;
  }
  try {
    pending_ = std::make_unique<PendingFile>(platform_.files, targets_->Folder(),
                                             [this, &file](const std::string& temporaryPath) {
                                               targets_->Claim(file.target, temporaryPath);
                                               // Someone took the planned name meanwhile: the
                                               // tooltip names the file really written.
                                               fileList_->SetToolTip(file.row, file.target.name);
                                             });
    FetchFollowing(*target);
  } catch (const Error&) {
    if (receiver_) receiver_->Fail(FileReceiver::Failure::kNotWritable);
  }
  const FileOutcome outcome = FinishFile(file);
  receiver_.reset();
  pending_.reset();
  currentFile_ = nullptr;
  return outcome;
}

void DownloadWindow::FetchFollowing(std::string_view target) {
  const std::int32_t limit = owner_.GetHostOptions().redirectLimit;
  FetchPlace place{server_, owner_.ServerPort(), std::string(target)};
  std::string chain = PlaceText(place);
  for (std::int32_t redirects = 0;; ++redirects) {
    receiver_ = std::make_unique<FileReceiver>(*pending_);
    FetchFrom(place);
    if (limit == 0 || aborted_ || receiver_->Current() != FileReceiver::State::kRefused ||
        !IsRedirectStatus(receiver_->StatusCode())) {
      return;
    }
    if (redirects == limit) {
      redirectNote_ = "stopped after " + ToDecimal(limit) + " redirects: " + chain;
      return;
    }
    auto next = FollowLocation(place, receiver_->Head().Find("Location").value_or(""));
    if (const std::string* why = std::get_if<std::string>(&next)) {
      redirectNote_ = *why;
      return;
    }
    place = std::get<FetchPlace>(std::move(next));
    chain += " -> " + PlaceText(place);
  }
}

void DownloadWindow::FetchFrom(const FetchPlace& place) {
  CloseSocket();
  Wait([this] { return socket_->State() == SocketState::kClosed; });
  const HostOptions& options = owner_.GetHostOptions();
  const ServerRoute route = RouteTo(options, place.server, place.port);
  UseSocketFor(place.server.transport, route);
  connected_ = sendDone_ = headTold_ = false;
  Tell([](ExchangeObserver& o) { o.Connecting(); });
  socket_->Connect(route.host, route.port);
  Wait([this] { return connected_ || FileEnded() || aborted_; });
  if (FileEnded() || aborted_) return;
  // A connection that the server dropped at once ends through its Close event.
  if (socket_->State() == SocketState::kConnected) {
    const std::string request = HeadForRoute(
        route, DownloadRequestText(place.target, platform_.ansi.Encode(place.server.host),
                                   options.extraHeaders));
    Tell([this, &request](ExchangeObserver& o) { o.RequestHead(platform_.ansi.Decode(request)); });
    lastTick_ = platform_.clock.TickCount();
    socket_->Send(AsBytes(request));
  }
  Wait([this] { return sendDone_ || FileEnded() || aborted_; });
  progress_->ResetCurrentBar();
  Wait([this] { return FileEnded() || aborted_; });
}

DownloadWindow::FileOutcome DownloadWindow::FinishFile(SessionFile& file) {
  CloseSocket();
  switch (receiver_ ? receiver_->Current() : FileReceiver::State::kFailed) {
    case FileReceiver::State::kComplete:
      // Neither the page nor the server gave a size (a chunked body): the file's is what came.
      if (&file == currentFile_ && counts_.currentSize == 0) {
        fileList_->SetSubItem(file.row, kSizeColumn,
                              FormatN0(receiver_->BodyWritten(), platform_.locale.Numbers()));
      }
      SetStatus(file.row, kStatusDone);
      Report(file, DownloadEnd::kDone);
      return FileOutcome::kDone;
    case FileReceiver::State::kRefused:
      Report(file, DownloadEnd::kRefused);
      // A host that keeps going lists the file with the others that failed.
      if (owner_.GetHostOptions().keepGoing) {
        SetStatus(file.row, kStatusFailed);
        failedNames_.push_back(file.target.name);
        return FileOutcome::kFailed;
      }
      aborted_ = true;
      platform_.ui.ShowMessage(std::string(kRefusedMessage) + "\r\n\r\n" +
                                   "에러코드 : " + ShowableText(receiver_->StatusCode()),
                               MessageIcon::kNone, owner_.MainTitle());
      return FileOutcome::kRefused;
    case FileReceiver::State::kFailed:
      SetStatus(file.row, kStatusFailed);
      failedNames_.push_back(file.target.name);
      Report(file, FailureEnd(receiver_ ? receiver_->Why() : FileReceiver::Failure::kNotWritable));
      return FileOutcome::kFailed;
    case FileReceiver::State::kAwaitingHead:
    case FileReceiver::State::kReceiving:
      break;
  }
  // Stopped by the window's closing: the unfinished file goes with the PendingFile.
  Report(file, DownloadEnd::kStopped);
  return FileOutcome::kStopped;
}

void DownloadWindow::Report(const SessionFile& file, DownloadEnd end) {
  Tell([&](ExchangeObserver& o) {
    DownloadReport report;
    report.key = file.entry.key;
    report.name = file.target.name;
    report.end = end;
    report.announced = file.entry.size;
    if (receiver_ && &file == currentFile_) {
      report.statusCode = receiver_->Head().statusCode;
      report.reason = receiver_->Head().reason;
      report.contentLength = receiver_->ContentLength();
      report.written = receiver_->BodyWritten();
      report.detail = end == DownloadEnd::kConnection ? connectionError_
                      : end == DownloadEnd::kRefused  ? redirectNote_
                                                      : std::string(receiver_->ReadError());
      if (end == DownloadEnd::kConnection) report.errorNumber = connectionErrorNumber_;
    }
    o.DownloadEnded(report);
  });
}

void DownloadWindow::ReadArrival(std::span<const std::byte> arrival) {
  const bool wasAccepted = receiver_->HeadAccepted();
  receiver_->Read(arrival);
  if (!headTold_ && !receiver_->Head().statusCode.empty()) {
    headTold_ = true;
    Tell([this](ExchangeObserver& o) { o.ResponseHeadRead(receiver_->Head()); });
  }
  if (!receiver_->HeadAccepted()) return;
  try {
    if (!wasAccepted) {
      const std::optional<std::uint64_t> length = receiver_->ContentLength();
      counts_.contentLength = length ? CheckedNarrow<std::int32_t>(*length) : counts_.currentSize;
      // A page that named no size (0) leaves the file's and the session's totals to the
      // server's length.
      if (counts_.currentSize == 0 && length) {
        counts_.currentSize = counts_.contentLength;
        counts_.totalSize = CheckedAdd(counts_.totalSize, counts_.currentSize);
        fileList_->SetSubItem(currentFile_->row, kSizeColumn,
                              FormatN0(counts_.currentSize, platform_.locale.Numbers()));
      }
      startedCount_ = CheckedAdd<std::int32_t>(startedCount_, 1);
      progress_->ShowFileStarted(currentFile_->target.name, startedCount_,
                                 CheckedNarrow<std::int32_t>(sessionFiles_.size()),
                                 counts_.contentLength);
    }
    const std::int32_t written = receiver_->BodyWritten();
    counts_.totalReceived =
        CheckedAdd(counts_.totalReceived, CheckedSub(written, counts_.currentReceived));
    counts_.currentReceived = written;
    progress_->ShowBytes(counts_);
  } catch (const Error&) {
    // The file itself fits (the receiver refuses one that does not): the session's sum does not.
    receiver_->Fail(FileReceiver::Failure::kTooLarge,
                    "the session's total ran " + FileReceiver::OverTheLimit());
  }
}

void DownloadWindow::ShowFailedFiles() {
  const auto show = [this](std::string_view message, const std::vector<std::string>& names) {
    if (names.empty()) return;
    std::string text(message);
    text += kCrLf;
    for (const std::string& name : names) {
      text += kCrLf;
      text += ShowableText(name);
    }
    platform_.ui.ShowMessage(text, MessageIcon::kNone, owner_.MainTitle());
  };
  show(kUnsendableMessage, unsendableNames_);
  show(kFailedFilesMessage, failedNames_);
}

void DownloadWindow::OnSendProgress(std::int32_t /*sent*/, std::int32_t /*remaining*/) {}

void DownloadWindow::OnSendComplete() {
  sendDone_ = true;
}

void DownloadWindow::OnDataArrival(std::int32_t /*bytesTotal*/) {
  const std::uint32_t arrivalTick = platform_.clock.TickCount();
  arrival_.clear();
  socket_->GetData(arrival_);
  // Bytes after the end of a response belong to no file.
  if (FileEnded() || aborted_) return;
  Tell([](ExchangeObserver& o) { o.Progress(); });
  ReadArrival(arrival_);
  if (!receiver_->HeadAccepted() && receiver_->Ended()) return;
  try {
    progress_->ShowRate(CheckedNarrow<std::int32_t>(arrival_.size()),
                        TicksBetween(lastTick_, arrivalTick), counts_);
  } catch (const Error&) {
    // An arrival beyond 32 bits has no rate worth showing.
  }
  lastTick_ = arrivalTick;
}

void DownloadWindow::OnClose() {
  connected_ = false;
  if (FileEnded() || aborted_) return;
  // What came with the close still belongs to the response.
  arrival_.clear();
  socket_->GetData(arrival_);
  if (!arrival_.empty()) ReadArrival(arrival_);
  receiver_->ConnectionClosed();
}

void DownloadWindow::OnError(std::int32_t number, std::string_view description) {
  connected_ = false;
  CloseSocket();
  if (FileEnded()) return;
  Tell([&](ExchangeObserver& o) { o.SocketFailed(number, description); });
  connectionError_ = ToDecimal(number) + ":" + std::string(description);
  connectionErrorNumber_ = number;
  receiver_->Fail(FileReceiver::Failure::kConnection);
}

}  // namespace veldrask
