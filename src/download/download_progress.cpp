#include "download/download_progress.h"

#include <algorithm>

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
std::string BytesText(std::int32_t done, std::int32_t shownTotal, std::int32_t percentBase,
                      const NumberStyle& style) {
  if (percentBase > 0) return ByteProgressText(done, shownTotal, percentBase, style);
  return FormatN0(done, style) + " / " + FormatN0(shownTotal, style) + " Bytes (100 %)";
}

void ShowRemaining(Widget& label, double size, double done, double rate) {
  try {
    if (const auto seconds = RemainingSeconds(size, done, rate)) {
      SetCaptionIfChanged(label, RemainTimeText(*seconds));
    }
  } catch (const Error&) {
    // Beyond 32 bits of seconds the estimate means nothing; the label keeps its text.
  }
}

}  // namespace

DownloadProgress::DownloadProgress(const ProgressBlockWidgets& widgets, NumberStyle style)
    : widgets_(widgets), style_(style), display_(widgets, std::move(style)) {}

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
  SetCaptionIfChanged(widgets_.sendProcess, BytesText(counts.currentReceived, counts.currentSize,
                                                      counts.contentLength, style_));
  SetCaptionIfChanged(widgets_.totalSendProcess,
                      BytesText(counts.totalReceived, counts.totalSize, counts.totalSize, style_));
  SetBarValue(widgets_.currentBar, counts.currentReceived);
  SetBarValue(widgets_.totalBar, counts.totalReceived);
}

void DownloadProgress::ShowRate(std::int32_t arrivalBytes, std::int32_t elapsedMs,
                                const TransferCounts& counts) {
  // A clock that stood still (or went back) gives no rate to show.
  if (elapsedMs <= 0) return;
  const double seconds = elapsedMs / 1000.0;
  SetCaptionIfChanged(widgets_.bitRate, RateText(arrivalBytes, seconds, style_));
  const double rate = arrivalBytes / seconds;
  ShowRemaining(widgets_.remainTime, counts.contentLength, counts.currentReceived, rate);
  ShowRemaining(widgets_.totalRemainTime, counts.totalSize, counts.totalReceived, rate);
}

}  // namespace veldrask
