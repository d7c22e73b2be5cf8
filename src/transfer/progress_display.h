#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "base/number_format.h"
#include "transfer/progress_block.h"

namespace veldrask {

// What the upload window knows after a block has been handed over.
struct BlockProgress {
  std::int32_t fileSize = 0;     // size of the current file
  std::int32_t totalSize = 0;    // sum of all file sizes
  std::int32_t currentSent = 0;  // bytes of the current file done, this block included
  std::int32_t totalSent = 0;    // bytes of all files done before this block
  std::int32_t blockBytes = 0;   // m
  std::int32_t elapsedMs = 0;    // d: from before reading the block to its hand-over
  bool lastBlock = false;        // the last, partial block of a file
  bool aborted = false;          // the run is stopping: the bars stay where they are
};

// The upload window's progress block: its labels and bars, filled as a run goes on.
class ProgressDisplay {
 public:
  ProgressDisplay(const ProgressBlockWidgets& widgets, NumberStyle style);

  // The first texts, once the window has listed at least one file.
  void InitProgressLabels(std::string_view firstName, std::int32_t firstSize,
                          std::int32_t fileCount, std::int32_t totalSize);
  // At the start of file index (1-based) of count.
  void ShowCurrentFile(std::int32_t index, std::int32_t count, std::string_view fileName);
  // At the start of a file, after its part head has gone out.
  void StartFileBars(std::int32_t fileSize, std::int32_t totalSize, std::int32_t totalSent);
  // After each block; returns TotalSent with the block added (overflow raises).
  std::int32_t UpdateBlockProgress(const BlockProgress& block);

 private:
  // Sets label to the remaining time at rate, unless the estimate is negative.
  void ShowRemaining(Widget& label, double size, double done, double rate);

  ProgressBlockWidgets widgets_;
  NumberStyle style_;
  ByteProgressLabel fileBytes_;
  ByteProgressLabel totalBytes_;
  std::string text_;  // the time texts are built here, block after block
  std::int32_t rateBytes_ = 0;
  std::int32_t rateMs_ = 0;  // never a timed block's: the first one makes its text
  std::string rateText_;
};

}  // namespace veldrask
