#include "transfer/progress_display.h"

#include <utility>

#include "base/checked.h"

namespace veldrask {
namespace {

constexpr std::string_view kZeroTime = "남은 시간 : 00:00:00";

}  // namespace

ProgressDisplay::ProgressDisplay(const ProgressBlockWidgets& widgets, NumberStyle style)
    : widgets_(widgets),
      style_(std::move(style)),
      fileBytes_(widgets_.sendProcess, style_),
      totalBytes_(widgets_.totalSendProcess, style_) {}

void ProgressDisplay::InitProgressLabels(std::string_view firstName, std::int32_t firstSize,
                                         std::int32_t fileCount, std::int32_t totalSize) {
  SetCaptionIfChanged(widgets_.fileName, firstName);
  SetCaptionIfChanged(widgets_.bitRate, "0 KB / 초");
  SetCaptionIfChanged(widgets_.sendProcess, "0 / " + FormatN0(firstSize, style_) + " Bytes (0 %)");
  SetCaptionIfChanged(widgets_.remainTime, kZeroTime);
  SetCaptionIfChanged(widgets_.totalFiles, FileCountText(1, fileCount));
  SetCaptionIfChanged(widgets_.totalSendProcess,
                      "0 / " + FormatN0(totalSize, style_) + " Bytes (0 %)");
  SetCaptionIfChanged(widgets_.totalRemainTime, kZeroTime);
}

void ProgressDisplay::ShowCurrentFile(std::int32_t index, std::int32_t count,
                                      std::string_view fileName) {
  SetCaptionIfChanged(widgets_.fileName, fileName);
  SetCaptionIfChanged(widgets_.totalFiles, FileCountText(index, count));
}

void ProgressDisplay::StartFileBars(std::int32_t fileSize, std::int32_t totalSize,
                                    std::int32_t totalSent) {
  widgets_.currentBar.SetMinimum(0);
  widgets_.currentBar.SetMaximum(fileSize);
  widgets_.currentBar.SetValue(0);
  widgets_.totalBar.SetMinimum(0);
  widgets_.totalBar.SetMaximum(totalSize);
  widgets_.totalBar.SetValue(totalSent);
}

std::int32_t ProgressDisplay::UpdateBlockProgress(const BlockProgress& block) {
  const double seconds = block.elapsedMs / 1000.0;
  // A block within the tick counter's resolution has no measurable rate.
  const bool timed = seconds != 0;
  const double rate = block.blockBytes / seconds;
  if (timed) {
    // Blocks of one size that take the same whole milliseconds have the same rate text.
    if (rateBytes_ != block.blockBytes || rateMs_ != block.elapsedMs) {
      rateText_.clear();
      AppendRateText(rateText_, block.blockBytes, seconds, style_);
      rateBytes_ = block.blockBytes;
      rateMs_ = block.elapsedMs;
    }
    SetCaptionIfChanged(widgets_.bitRate, rateText_);
    ShowRemaining(widgets_.remainTime, block.fileSize, block.currentSent, rate);
  }
  fileBytes_.Show(block.currentSent, block.fileSize, block.fileSize);
  const std::int32_t totalSent = CheckedAdd(block.totalSent, block.blockBytes);
  // The total estimate moves on full blocks only; a file's last block leaves it as it was.
  if (!block.lastBlock && timed) {
    ShowRemaining(widgets_.totalRemainTime, block.totalSize, totalSent, rate);
  }
  totalBytes_.Show(totalSent, block.totalSize, block.totalSize);
  if (!block.aborted) {
    widgets_.currentBar.SetValue(block.currentSent);
    widgets_.totalBar.SetValue(totalSent);
  }
  return totalSent;
}

void ProgressDisplay::ShowRemaining(Widget& label, double size, double done, double rate) {
  if (const auto seconds = RemainingSeconds(size, done, rate)) {
    text_.clear();
    AppendRemainTimeText(text_, *seconds);
    SetCaptionIfChanged(label, text_);
  }
}

}  // namespace veldrask
