// Composing the upload request: the part heads and the Content-Length count for many files
// and fields, with Korean names encoded to CP949 as a page sends them.

#include <benchmark/benchmark.h>

#include <string>
#include <vector>

#include "memory_file_system.h"
#include "posix/iconv_code_page.h"
#include "upload/upload_request.h"

namespace veldrask::bench {
namespace {

UploadSettings Settings() {
  return {.actionUrl = "/board/upload.php",
          .hostName = "files.example.test",
          .cookie = "PHPSESSID=0123456789abcdef; lang=ko",
          .boundary = "Q7x2Lm9PzA4kT0rWb8Nc1YeV5sHu3JdG",
          .filePrefix = "file",
          .paddingZero = "1"};
}

// Half the names are Korean, so the code page conversion runs through iconv for them.
std::string FilePath(std::int64_t index) {
  const std::string number = std::to_string(index);
  return index % 2 == 0 ? "/home/kim/문서/주간 보고서 " + number + ".hwp"
                        : "/home/kim/data/report-" + number + ".pdf";
}

void BM_ComposeUploadRequest(benchmark::State& state) {
  const std::int64_t fileCount = state.range(0);
  const std::int64_t fieldCount = state.range(1);
  testing::MemoryFileSystem files{"/"};
  std::vector<std::string> rowKeys;
  for (std::int64_t i = 0; i < fileCount; ++i) {
    rowKeys.push_back(FilePath(i));
    files.ReportSize(rowKeys.back(), 1000 + i * 7);
  }
  std::vector<PostData> fields;
  for (std::int64_t i = 0; i < fieldCount; ++i) {
    fields.push_back({"field" + std::to_string(i), i % 2 == 0 ? "주간 보고 " + std::to_string(i)
                                                              : "value-" + std::to_string(i)});
  }
  const posix::IconvCodePage cp949("CP949");
  const UploadSettings settings = Settings();
  std::size_t composedBytes = 0;
  for (auto _ : state) {
    UploadRequest request;
    ComposeUploadRequest(settings, fields, rowKeys, files, cp949, request);
    composedBytes = request.httpHeader.size() + request.formData.size();
    for (const AttachedFile& file : request.attachedFiles) composedBytes += file.header.size();
    benchmark::DoNotOptimize(request);
  }
  state.SetItemsProcessed(state.iterations() * (fileCount + fieldCount));
  state.counters["composed_bytes"] = static_cast<double>(composedBytes);
}
BENCHMARK(BM_ComposeUploadRequest)
    ->ArgNames({"files", "fields"})
    ->Args({1, 2})
    ->Args({10, 10})
    ->Args({100, 20})
    ->Args({1000, 100})
    ->Args({10000, 100});

}  // namespace
}  // namespace veldrask::bench
