#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "base/number_format.h"
#include "transfer/progress_block.h"
#include "transfer/progress_display.h"

namespace veldrask {

// The byte counts behind the download window's labels and bars.
struct TransferCounts {
  std::int32_t currentReceived = 0;  // body bytes of the current file written so far
  std::int32_t currentSize = 0;      // the size the page announced, shown as the file's total
  std::int32_t contentLength = 0;    // the response's length (else the announced size): the
                                     // base of the percentage and the bar
  std::int32_t totalReceived = 0;
  std::int32_t totalSize = 0;
};

// The download window's progress block. It carries the upload window's labels and bars and
// fills them from arrivals: the rate and remaining times are those of the latest arrival
// over the time since the one before.
class DownloadProgress {
 public:
  DownloadProgress(const ProgressBlockWidgets& widgets, NumberStyle style);

  // Once per session that has files: the first texts, and the total bar's range.
  void Start(std::string_view firstName, std::int32_t firstSize, std::int32_t fileCount,
             std::int32_t totalSize);
  // The request of a file has gone out.
  void ResetCurrentBar();
  // The response of a file has been accepted: it is the startedCount-th of fileCount.
  void ShowFileStarted(std::string_view name, std::int32_t startedCount, std::int32_t fileCount,
                       std::int32_t contentLength);
  // Byte labels and bars.
  void ShowBytes(const TransferCounts& counts);
  // Rate and remaining times of an arrival of arrivalBytes that came elapsedMs after the
  // previous one; an arrival within the tick counter's resolution changes nothing.
  void ShowRate(std::int32_t arrivalBytes, std::int32_t elapsedMs, const TransferCounts& counts);

 private:
  // Sets label to the remaining time at rate, unless the estimate is negative or too large.
  void ShowRemaining(Widget& label, double size, double done, double rate);

  ProgressBlockWidgets widgets_;
  NumberStyle style_;
  ProgressDisplay display_;
  ByteProgressLabel fileBytes_;
  ByteProgressLabel totalBytes_;
  std::string text_;  // the rate and time texts are built here, arrival after arrival
};

}  // namespace veldrask
