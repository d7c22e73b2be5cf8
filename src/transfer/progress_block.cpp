#include "transfer/progress_block.h"

#include <cmath>
#include <utility>

#include "base/checked.h"
#include "base/rounding.h"
#include "base/text.h"

namespace veldrask {
namespace {

// Twip geometry of the block, relative to its frame.
constexpr std::int32_t kCaptionLeft = 150;
constexpr std::int32_t kCaptionWidth = 975;
constexpr std::int32_t kValueLeft = 1140;
constexpr std::int32_t kTimeLeft = 4575;
constexpr std::int32_t kRightEdge = 6915;
constexpr std::int32_t kLabelHeight = 225;
constexpr std::int32_t kBarWidth = 6765;
constexpr std::int32_t kBarHeight = 255;

constexpr std::string_view kDesignBytes = "11,123 / 5,000,112 Bytes (12%)";
constexpr std::string_view kDesignTime = "남은시간 : 3시간 56분 25초";

Widget& AddLabel(Form& form, Widget& frame, std::string name, std::string_view caption,
                 std::int32_t left, std::int32_t top, std::int32_t right) {
  return form.AddWidget(WidgetKind::kLabel, std::move(name), &frame, caption,
                        Bounds{left, top, right - left, kLabelHeight});
}

void AddCaption(Form& form, Widget& frame, std::string name, std::string_view caption,
                std::int32_t top) {
  form.AddWidget(WidgetKind::kLabel, std::move(name), &frame, caption,
                 Bounds{kCaptionLeft, top, kCaptionWidth, kLabelHeight});
}

// The integer part of done / percentBase * 100, as ByteProgressText shows it.
std::string PercentText(std::int32_t done, std::int32_t percentBase) {
  return FormatP(static_cast<double>(done) / percentBase * 100);
}

// The fixed parts of a byte progress text: done, kOf, total, kBytesOpen, percent, kPercentEnd.
constexpr std::string_view kOf = " / ";
constexpr std::string_view kBytesOpen = " Bytes (";
constexpr std::string_view kPercentEnd = " %)";

void AppendByteProgress(std::string& out, std::string_view done, std::string_view total,
                        std::string_view percent) {
  out += done;
  out += kOf;
  out += total;
  out += kBytesOpen;
  out += percent;
  out += kPercentEnd;
}

}  // namespace

ProgressBlockWidgets BuildProgressBlock(Form& form, std::string frameName,
                                        std::string_view frameCaption, Bounds frameBounds) {
  Widget& frame =
      form.AddWidget(WidgetKind::kFrame, std::move(frameName), nullptr, frameCaption, frameBounds);
  AddCaption(form, frame, "lblFileNameCaption", "현재 파일 :", 255);
  AddCaption(form, frame, "lblBitRateCaption", "전송 속도 :", 495);
  AddCaption(form, frame, "lblSendProcessCaption", "전송 용량 :", 735);
  AddCaption(form, frame, "lblTotalFilesCaption", "전체 파일 :", 1365);
  AddCaption(form, frame, "lblTotalSendProcessCaption", "전송 용량 :", 1605);
  return ProgressBlockWidgets{
      .frame = frame,
      .fileName = AddLabel(form, frame, "lblFileName", "파일명", kValueLeft, 255, kRightEdge),
      .bitRate = AddLabel(form, frame, "lblBitRate", "150 KB / 초", kValueLeft, 495, kRightEdge),
      .sendProcess =
          AddLabel(form, frame, "lblSendProcess", kDesignBytes, kValueLeft, 735, kTimeLeft),
      .remainTime = AddLabel(form, frame, "lblRemainTime", kDesignTime, kTimeLeft, 735, kRightEdge),
      .totalFiles =
          AddLabel(form, frame, "lblTotalFiles", "1 / 12 개", kValueLeft, 1365, kRightEdge),
      .totalSendProcess =
          AddLabel(form, frame, "lblTotalSendProcess", kDesignBytes, kValueLeft, 1605, kTimeLeft),
      .totalRemainTime =
          AddLabel(form, frame, "lblTotalRemainTime", kDesignTime, kTimeLeft, 1605, kRightEdge),
      .currentBar = form.AddProgressBar("pbCurrentProcess", &frame,
                                        Bounds{kCaptionLeft, 990, kBarWidth, kBarHeight}),
      .totalBar = form.AddProgressBar("pbTotalProcess", &frame,
                                      Bounds{kCaptionLeft, 1860, kBarWidth, kBarHeight}),
  };
}

void SetCaptionIfChanged(Widget& widget, std::string_view caption) {
  if (widget.Caption() != caption) widget.SetCaption(caption);
}

std::string RateText(double bytes, double seconds, const NumberStyle& style) {
  std::string text;
  AppendRateText(text, bytes, seconds, style);
  return text;
}

void AppendRateText(std::string& out, double bytes, double seconds, const NumberStyle& style) {
  out += FormatN2(bytes / seconds / 1024, style);
  out += " KB / 초";
}

std::optional<std::int32_t> RemainingSeconds(double size, double done, double rate) {
  const std::int32_t remaining = CheckedSub(RoundToInt32(size / rate), RoundToInt32(done / rate));
  if (remaining < 0) return std::nullopt;
  return remaining;
}

std::string RemainTimeText(std::int32_t seconds) {
  std::string text;
  AppendRemainTimeText(text, seconds);
  return text;
}

void AppendRemainTimeText(std::string& out, std::int32_t seconds) {
  out += "남은 시간 : ";
  out += FormatHms(seconds);
}

std::string ByteProgressText(std::int32_t done, std::int32_t shownTotal, std::int32_t percentBase,
                             const NumberStyle& style) {
  std::string text;
  AppendByteProgress(text, FormatN0(done, style), FormatN0(shownTotal, style),
                     PercentText(done, percentBase));
  return text;
}

ByteProgressLabel::ByteProgressLabel(Widget& label, NumberStyle style)
    : label_(label), style_(std::move(style)) {}

void ByteProgressLabel::Show(std::int32_t done, std::int32_t shownTotal, std::int32_t percentBase) {
  // The percentage moves about once in a hundred blocks; the tail is made again when it does.
  const double percent = std::floor(static_cast<double>(done) / percentBase * 100);
  if (total_ != shownTotal || percent != percent_) {
    percentText_.clear();
    AppendP(percentText_, percent);
    MakeTail(shownTotal);
    percent_ = percent;
  }
  ShowDone(done);
}

void ByteProgressLabel::Show(std::int32_t done, std::int32_t shownTotal, std::string_view percent) {
  if (total_ != shownTotal || percent != percentText_) {
    percentText_ = percent;
    MakeTail(shownTotal);
    percent_ = std::numeric_limits<double>::quiet_NaN();
  }
  ShowDone(done);
}

void ByteProgressLabel::MakeTail(std::int32_t shownTotal) {
  tail_ = kOf;
  AppendN0(tail_, shownTotal, style_);
  tail_ += kBytesOpen;
  tail_ += percentText_;
  tail_ += kPercentEnd;
  total_ = shownTotal;
}

void ByteProgressLabel::ShowDone(std::int32_t done) {
  text_.clear();
  AppendN0(text_, done, style_);
  text_ += tail_;
  SetCaptionIfChanged(label_, text_);
}

std::string FileCountText(std::int32_t index, std::int32_t count) {
  return ToDecimal(index) + " / " + ToDecimal(count) + " 개";
}

}  // namespace veldrask
