#include "transfer_progress.h"

#include <algorithm>
#include <array>

#include "platform/ui.h"
#include "terminal_size.h"
#include "terminal_text.h"

namespace veldrask::host {
namespace {

// The labels and bars of the progress block both windows carry.
constexpr std::array<std::string_view, 9> kProgressWidgets = {
    "lblFileName",        "lblBitRate",       "lblSendProcess",
    "lblRemainTime",      "lblTotalFiles",    "lblTotalSendProcess",
    "lblTotalRemainTime", "pbCurrentProcess", "pbTotalProcess"};

// The status column of the window's list: a file that has reached one of these is done.
constexpr std::int32_t kStatusColumn = 2;
constexpr std::string_view kDone = "완료";
constexpr std::string_view kFailed = "실패";

constexpr std::string_view kGap = "   ";

std::string Joined(std::initializer_list<std::string> parts) {
  std::string line;
  for (const std::string& part : parts) {
    if (part.empty()) continue;
    if (!line.empty()) line += kGap;
    line += part;
  }
  return line;
}

}  // namespace

bool IsTransferWindow(std::string_view formName) {
  return formName == kUploadWindow || formName == kDownloadWindow;
}

TransferProgress::TransferProgress(HostUi& ui, headless::HeadlessForm& form, Console& console,
                                   Clock& clock)
    : ui_(ui), form_(form), console_(console), clock_(clock) {
  for (const auto& widget : form.Widgets()) {
    if (widget->Kind() != WidgetKind::kListView) continue;
    list_ = dynamic_cast<const headless::HeadlessListView*>(widget.get());
    break;
  }
  for (const std::string_view name : kProgressWidgets) {
    if (form.Find(name) == nullptr) continue;
    observers_.push_back(ui.OnChange(form.Name(), std::string(name),
                                     [this](headless::HeadlessWidget&) { Changed(); }));
  }
  if (console.Terminal()) console.Print(form.Caption());
  // The first drawing waits a moment: the window fills its labels right after it opens, and
  // until then they hold their design texts.
  lastDraw_ = clock.TickCount();
}

TransferProgress::~TransferProgress() {
  for (const headless::ObserverId id : observers_) ui_.RemoveObserver(id);
}

void TransferProgress::Changed() {
  // A finished row is printed at once, the block when the throttle allows. Per change this
  // costs one look at the current row's status and one reading of the clock.
  const std::string finished = TakeFinishedRows();
  if (!console_.Terminal()) {
    if (!finished.empty()) console_.Print(finished);
    return;
  }
  const std::uint32_t now = clock_.TickCount();
  if (finished.empty() && TicksBetween(lastDraw_, now) < kRedrawMs) return;
  lastDraw_ = now;
  console_.Show(finished, LiveLines(StderrColumns()));
}

void TransferProgress::Draw() {
  const std::string finished = TakeFinishedRows();
  if (console_.Terminal()) {
    console_.Show(finished, LiveLines(StderrColumns()));
  } else if (!finished.empty()) {
    console_.Print(finished);
  }
}

void TransferProgress::ReportFinishedRows() {
  const std::string finished = TakeFinishedRows();
  if (!finished.empty()) console_.Print(finished);
}

std::string TransferProgress::TakeFinishedRows() {
  std::string lines;
  if (list_ == nullptr) return lines;
  while (nextRow_ <= list_->RowCount()) {
    const std::string status = list_->SubItem(nextRow_, kStatusColumn);
    if (status != kDone && status != kFailed) break;
    lines +=
        status + "  " + list_->RowText(nextRow_) + " (" + list_->SubItem(nextRow_, 1) + " Bytes)\n";
    ++nextRow_;
  }
  return lines;
}

void TransferProgress::Finish() {
  Draw();
  console_.KeepLive();
}

std::vector<std::string> TransferProgress::LiveLines(std::size_t columns) const {
  const std::size_t barWidth = std::clamp<std::size_t>(columns > 4 ? columns - 4 : 0, 10, 60);
  return {
      Joined({Text("lblFileNameCaption") + " " + Text("lblFileName"),
              Text("lblBitRateCaption") + " " + Text("lblBitRate")}),
      Joined({Text("lblSendProcessCaption") + " " + Text("lblSendProcess"), Text("lblRemainTime")}),
      Bar("pbCurrentProcess", barWidth),
      Joined({Text("lblTotalFilesCaption") + " " + Text("lblTotalFiles")}),
      Joined({Text("lblTotalSendProcessCaption") + " " + Text("lblTotalSendProcess"),
              Text("lblTotalRemainTime")}),
      Bar("pbTotalProcess", barWidth),
  };
}

std::string TransferProgress::Text(std::string_view widget) const {
  const Widget* found = form_.Find(widget);
  return found == nullptr ? std::string() : found->Caption();
}

std::string TransferProgress::Bar(std::string_view widget, std::size_t width) const {
  const auto* bar = dynamic_cast<const ProgressBar*>(form_.Find(widget));
  if (bar == nullptr) return {};
  return BarText(bar->Value(), bar->Minimum(), bar->Maximum(), width);
}

void ProgressReporter::WindowShown(headless::HeadlessForm& form) {
  if (!IsTransferWindow(form.Name())) return;
  current_ = std::make_unique<TransferProgress>(ui_, form, console_, clock_);
}

void ProgressReporter::WindowEnded(const headless::HeadlessForm& form) {
  if (!current_ || &current_->Window() != &form) return;
  current_->Finish();
  current_.reset();
}

void ProgressReporter::ReportFinishedRows() {
  if (current_) current_->ReportFinishedRows();
}

}  // namespace veldrask::host
