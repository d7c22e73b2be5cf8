// One UpdateBlockProgress on the headless UI: the labels' texts (rate, bytes, remaining
// time) and the two bars after a block of 64 KiB in a 1 GiB file.

#include <benchmark/benchmark.h>

#include <cstdint>
#include <memory>

#include "headless/headless_ui.h"
#include "posix/poll_event_loop.h"
#include "transfer/progress_block.h"
#include "transfer/progress_display.h"

namespace veldrask::bench {
namespace {

constexpr std::int32_t kFileSize = 1 << 30;
constexpr std::int32_t kBlock = 65536;

// range(0): the block's elapsed milliseconds (0: within a tick, so no rate or remaining time
// is drawn). range(1): 1 installs a change observer on every label, as a host that draws
// the window does.
void BM_UpdateBlockProgress(benchmark::State& state) {
  posix::PollEventLoop loop;
  headless::HeadlessUi ui(loop);
  const std::unique_ptr<headless::HeadlessForm> form =
      ui.CreateHeadlessForm("frmProcess", "업로드 진행상황", {0, 0, 7035, 4290});
  const ProgressBlockWidgets widgets =
      BuildProgressBlock(*form, "fraProgress", "업로드 진행 상황", {0, 0, 7035, 4290});
  std::int64_t changes = 0;
  if (state.range(1) != 0) {
    for (const char* name : {"lblBitRate", "lblSendProcess", "lblRemainTime", "lblTotalSendProcess",
                             "lblTotalRemainTime", "pbCurrentProcess", "pbTotalProcess"}) {
      ui.OnChange("frmProcess", name, [&changes](headless::HeadlessWidget&) { ++changes; });
    }
  }
  ProgressDisplay display(widgets, NumberStyle{});
  display.InitProgressLabels("주간 보고서.hwp", kFileSize, 1, kFileSize);
  display.StartFileBars(kFileSize, kFileSize, 0);

  const auto elapsedMs = static_cast<std::int32_t>(state.range(0));
  std::int32_t currentSent = 0;
  for (auto _ : state) {
    if (currentSent > kFileSize - kBlock) currentSent = 0;
    const std::int32_t totalSent = currentSent;
    currentSent += kBlock;
    benchmark::DoNotOptimize(display.UpdateBlockProgress({.fileSize = kFileSize,
                                                          .totalSize = kFileSize,
                                                          .currentSent = currentSent,
                                                          .totalSent = totalSent,
                                                          .blockBytes = kBlock,
                                                          .elapsedMs = elapsedMs,
                                                          .lastBlock = false,
                                                          .aborted = false}));
  }
  state.counters["changes_per_update"] =
      benchmark::Counter(static_cast<double>(changes), benchmark::Counter::kAvgIterations);
}
BENCHMARK(BM_UpdateBlockProgress)
    ->ArgNames({"elapsed_ms", "observed"})
    ->ArgsProduct({{0, 3}, {0, 1}});

}  // namespace
}  // namespace veldrask::bench
