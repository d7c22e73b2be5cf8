// Reading and writing a hive file: many values in one key, as a page's script can store, and
// the deepest key the registry allows. Both should grow linearly with the file.

#include <benchmark/benchmark.h>

#include <string>

#include "posix/reg_file_format.h"

namespace veldrask::bench {
namespace {

constexpr std::string_view kHive = "HKEY_LOCAL_MACHINE";

std::string ManyValues(std::int64_t count) {
  posix::RegTree tree;
  tree.CreateKey("Software\\Unrelated");
  for (std::int64_t i = 0; i < count; ++i) {
    const std::string text = "value number " + std::to_string(i);
    std::vector<std::byte> data;
    for (const char c : text) data.push_back(static_cast<std::byte>(c));
    data.push_back(std::byte{0});
    tree.SetValue("Software\\Unrelated", {"Name" + std::to_string(i), 1, std::move(data)});
  }
  return posix::FormatRegFile(tree, kHive);
}

void BM_ReadValuesOfOneKey(benchmark::State& state) {
  const std::string text = ManyValues(state.range(0));
  for (auto _ : state) benchmark::DoNotOptimize(posix::ParseRegFile(text, kHive));
  state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(text.size()));
}
BENCHMARK(BM_ReadValuesOfOneKey)
    ->Arg(5000)
    ->Arg(10000)
    ->Arg(20000)
    ->Arg(80000)
    ->Unit(benchmark::kMillisecond);

void BM_WriteValuesOfOneKey(benchmark::State& state) {
  const posix::RegTree tree = posix::ParseRegFile(ManyValues(state.range(0)), kHive);
  for (auto _ : state) benchmark::DoNotOptimize(posix::FormatRegFile(tree, kHive));
}
BENCHMARK(BM_WriteValuesOfOneKey)->Arg(5000)->Arg(20000)->Arg(80000)->Unit(benchmark::kMillisecond);

// levels keys below each other, each name nameLength characters: created, written, read back.
void BM_DeepKey(benchmark::State& state) {
  std::string path;
  for (std::int64_t level = 0; level < state.range(0); ++level) {
    if (!path.empty()) path += '\\';
    path.append(static_cast<std::size_t>(state.range(1)), 'k');
  }
  std::size_t fileBytes = 0;
  for (auto _ : state) {
    posix::RegTree tree;
    tree.CreateKey(path);
    const std::string text = posix::FormatRegFile(tree, kHive);
    fileBytes = text.size();
    benchmark::DoNotOptimize(posix::ParseRegFile(text, kHive));
  }
  state.counters["file_bytes"] = static_cast<double>(fileBytes);
}
BENCHMARK(BM_DeepKey)
    ->Args({64, 255})
    ->Args({512, 16})
    ->Args({512, 255})
    ->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace veldrask::bench
