#include "download/download_progress.h"

#include <algorithm>
#include <utility>

#include "base/error.h"

namespace veldrask {
namespace {

// A bar cannot show more than its range: a server may send more than the page announced.
void SetBarValue(ProgressBar& bar, std::int32_t value) {
  bar.SetValue(std::clamp(value, bar.Minimum(), std::max(bar.Minimum(), bar.Maximum())));
}

void SetBarRange(ProgressBar& bar, std::int32_t maximum) {
  bar.SetValue(0);
  bar.SetMinimum(0);
  bar.SetMaximum(std::max(maximum, 0));
}

// An empty file or session is complete as soon as it starts.
void ShowBytesOf(ByteProgressLabel& label, std::int32_t done, std::int32_t shownTotal,
                 std::int32_t percentBase) {
  if (percentBase > 0) {
    label.Show(done, shownTotal, percentBase);
  } else {
    label.Show(done, shownTotal, std::string_view("100"));
  }
}

}  // namespace

DownloadProgress::DownloadProgress(const ProgressBlockWidgets& widgets, NumberStyle style)
    : widgets_(widgets),
      style_(std::move(style)),
      display_(widgets_, style_),
      fileBytes_(widgets_.sendProcess, style_),
      totalBytes_(widgets_.totalSendProcess, style_) {}

void DownloadProgress::Start(std::string_view firstName, std::int32_t firstSize,
                             std::int32_t fileCount, std::int32_t totalSize) {
  display_.InitProgressLabels(firstName, firstSize, fileCount, totalSize);
  SetBarRange(widgets_.totalBar, totalSize);
}

void DownloadProgress::ResetCurrentBar() {
  SetBarValue(widgets_.currentBar, 0);
}

void DownloadProgress::ShowFileStarted(std::string_view name, std::int32_t startedCount,
                                       std::int32_t fileCount, std::int32_t contentLength) {
  SetCaptionIfChanged(widgets_.fileName, name);
  SetCaptionIfChanged(widgets_.totalFiles, FileCountText(startedCount, fileCount));
  SetBarRange(widgets_.currentBar, contentLength);
}

void DownloadProgress::ShowBytes(const TransferCounts& counts) {
  ShowBytesOf(fileBytes_, counts.currentReceived, counts.currentSize, counts.contentLength);
  ShowBytesOf(totalBytes_, counts.totalReceived, counts.totalSize, counts.totalSize);
  SetBarValue(widgets_.currentBar, counts.currentReceived);
  SetBarValue(widgets_.totalBar, counts.totalReceived);
}

void DownloadProgress::ShowRate(std::int32_t arrivalBytes, std::int32_t elapsedMs,
                                const TransferCounts& counts) {
  // A clock that stood still (or went back) gives no rate to show.
  if (elapsedMs <= 0) return;
  const double seconds = elapsedMs / 1000.0;
  text_.clear();
  AppendRateText(text_, arrivalBytes, seconds, style_);
  SetCaptionIfChanged(widgets_.bitRate, text_);
  const double rate = arrivalBytes / seconds;
  ShowRemaining(widgets_.remainTime, counts.contentLength, counts.currentReceived, rate);
  ShowRemaining(widgets_.totalRemainTime, counts.totalSize, counts.totalReceived, rate);
}

void DownloadProgress::ShowRemaining(Widget& label, double size, double done, double rate) {
  try {
    if (const auto seconds = RemainingSeconds(size, done, rate)) {
      text_.clear();
      AppendRemainTimeText(text_, *seconds);
      SetCaptionIfChanged(label, text_);
    }
  } catch (const Error&) {
    // Beyond 32 bits of seconds the estimate means nothing; the label keeps its text.
  }
}

}  // namespace veldrask
