// The page-visible URL text conversions with the CP949 code page through iconv: ASCII paths
// (no conversion), Korean paths (one iconv call per character) and a long mixed text.

#include <benchmark/benchmark.h>

#include <cstdio>
#include <string>

#include "common/url_encoding.h"
#include "posix/iconv_code_page.h"

namespace veldrask::bench {
namespace {

const std::string kAscii = "/files/2024/weekly-report_final v2.pdf";
const std::string kKorean = "/자료실/2024년 주간 보고서 (최종).hwp";

std::string Mixed() {
  std::string text;
  while (text.size() < 4096) text += kKorean + "?id=" + std::to_string(text.size()) + "&";
  return text;
}

// The escaped form the decoder reads: every byte of the CP949 text as %XX, except letters
// and digits.
std::string Escaped(const std::string& utf8, const CodePage& ansi) {
  std::string escaped;
  for (const char c : ansi.Encode(utf8)) {
    const auto byte = static_cast<unsigned char>(c);
    if ((byte >= '0' && byte <= '9') || (byte >= 'A' && byte <= 'Z') ||
        (byte >= 'a' && byte <= 'z')) {
      escaped += c;
    } else {
      char hex[4];
      std::snprintf(hex, sizeof hex, "%%%02X", byte);
      escaped += hex;
    }
  }
  return escaped;
}

const std::string& Input(std::int64_t which) {
  static const std::string mixed = Mixed();
  switch (which) {
    case 0:
      return kAscii;
    case 1:
      return kKorean;
    default:
      return mixed;
  }
}

void BM_UrlEncode(benchmark::State& state) {
  const posix::IconvCodePage cp949("CP949");
  const std::string& text = Input(state.range(0));
  for (auto _ : state) benchmark::DoNotOptimize(UrlEncode(text, cp949));
  state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(text.size()));
}
BENCHMARK(BM_UrlEncode)->ArgName("ascii0_korean1_mixed4k2")->DenseRange(0, 2);

void BM_UrlDecode(benchmark::State& state) {
  const posix::IconvCodePage cp949("CP949");
  const std::string escaped = Escaped(Input(state.range(0)), cp949);
  for (auto _ : state) benchmark::DoNotOptimize(UrlDecode(escaped, cp949));
  state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(escaped.size()));
}
BENCHMARK(BM_UrlDecode)->ArgName("ascii0_korean1_mixed4k2")->DenseRange(0, 2);

}  // namespace
}  // namespace veldrask::bench
