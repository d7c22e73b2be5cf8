#pragma once

// The progress block that both transfer windows carry: fixed captions, value labels and two
// bars inside a frame, with the texts and arithmetic the two windows share.

#include <cstdint>
#include <limits>
#include <optional>
#include <string>
#include <string_view>

#include "base/number_format.h"
#include "platform/ui.h"

namespace veldrask {

struct ProgressBlockWidgets {
  Widget& frame;
  Widget& fileName;          // lblFileName
  Widget& bitRate;           // lblBitRate
  Widget& sendProcess;       // lblSendProcess
  Widget& remainTime;        // lblRemainTime
  Widget& totalFiles;        // lblTotalFiles
  Widget& totalSendProcess;  // lblTotalSendProcess
  Widget& totalRemainTime;   // lblTotalRemainTime
  ProgressBar& currentBar;   // pbCurrentProcess
  ProgressBar& totalBar;     // pbTotalProcess
};

// Builds the frame (named frameName, captioned frameCaption, at frameBounds) and the block's
// widgets inside it, with their names, places and design texts.
ProgressBlockWidgets BuildProgressBlock(Form& form, std::string frameName,
                                        std::string_view frameCaption, Bounds frameBounds);

// Where the window's file list lies in the frame, below the second bar.
inline constexpr Bounds kProgressFileListBounds{60, 2115, 6885, 2070};

// Sets the caption only when its text changes, so an update repaints only what moved.
void SetCaptionIfChanged(Widget& widget, std::string_view caption);

// N2(bytes / seconds / 1024) + " KB / 초".
std::string RateText(double bytes, double seconds, const NumberStyle& style);
// RateText appended to out.
void AppendRateText(std::string& out, double bytes, double seconds, const NumberStyle& style);

// nearest(size / rate) - nearest(done / rate) in whole seconds, halves to even, as 32-bit
// integers (overflow raises); nullopt when negative, which leaves the label as it was.
std::optional<std::int32_t> RemainingSeconds(double size, double done, double rate);

// "남은 시간 : " + hh:mm:ss.
std::string RemainTimeText(std::int32_t seconds);
// RemainTimeText appended to out.
void AppendRemainTimeText(std::string& out, std::int32_t seconds);

// N0(done) + " / " + N0(shownTotal) + " Bytes (" + P(done / percentBase * 100) + " %)".
std::string ByteProgressText(std::int32_t done, std::int32_t shownTotal, std::int32_t percentBase,
                             const NumberStyle& style);

// A label that shows ByteProgressText as transfers go on, after every block. The total changes
// once per file at most and the percentage once per whole percent, so the text after done is
// kept and made again only when one of them changes; done goes the integer way, the text is
// built in a buffer kept between updates, and set only when it changed.
class ByteProgressLabel {
 public:
  ByteProgressLabel(Widget& label, NumberStyle style);

  // ByteProgressText(done, shownTotal, percentBase).
  void Show(std::int32_t done, std::int32_t shownTotal, std::int32_t percentBase);
  // The same text with percent in place of the computed percentage.
  void Show(std::int32_t done, std::int32_t shownTotal, std::string_view percent);

 private:
  // tail_ for shownTotal and percentText_.
  void MakeTail(std::int32_t shownTotal);
  // N0(done) + tail_, set when it changed.
  void ShowDone(std::int32_t done);

  Widget& label_;
  NumberStyle style_;
  std::optional<std::int32_t> total_;
  double percent_ = std::numeric_limits<double>::quiet_NaN();  // what percentText_ shows
  std::string percentText_;
  std::string tail_;  // " / " + N0(total_) + " Bytes (" + percentText_ + " %)"
  std::string text_;
};

// index + " / " + count + " 개".
std::string FileCountText(std::int32_t index, std::int32_t count);

}  // namespace veldrask
