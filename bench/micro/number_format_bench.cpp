// The number formats of the progress labels and the lists, with the default style.

#include <benchmark/benchmark.h>

#include <array>

#include "base/number_format.h"

namespace veldrask::bench {
namespace {

// Small, grouped, a rounding half and the 32-bit limit.
constexpr std::array<double, 4> kValues{7.0, 5000112.0, 1234567.5, 2147483647.0};

void BM_FormatN0(benchmark::State& state) {
  const NumberStyle style;
  for (auto _ : state) {
    for (const double value : kValues) benchmark::DoNotOptimize(FormatN0(value, style));
  }
  state.SetItemsProcessed(state.iterations() * static_cast<std::int64_t>(kValues.size()));
}
BENCHMARK(BM_FormatN0);

void BM_FormatN2(benchmark::State& state) {
  const NumberStyle style;
  for (auto _ : state) {
    for (const double value : kValues) benchmark::DoNotOptimize(FormatN2(value / 1024.0, style));
  }
  state.SetItemsProcessed(state.iterations() * static_cast<std::int64_t>(kValues.size()));
}
BENCHMARK(BM_FormatN2);

void BM_FormatP(benchmark::State& state) {
  for (auto _ : state) {
    for (const double value : kValues) benchmark::DoNotOptimize(FormatP(value / 21474836.47));
  }
  state.SetItemsProcessed(state.iterations() * static_cast<std::int64_t>(kValues.size()));
}
BENCHMARK(BM_FormatP);

void BM_FormatHms(benchmark::State& state) {
  constexpr std::array<std::int32_t, 4> kSeconds{0, 59, 3725, 360000};
  for (auto _ : state) {
    for (const std::int32_t seconds : kSeconds) benchmark::DoNotOptimize(FormatHms(seconds));
  }
  state.SetItemsProcessed(state.iterations() * static_cast<std::int64_t>(kSeconds.size()));
}
BENCHMARK(BM_FormatHms);

}  // namespace
}  // namespace veldrask::bench
