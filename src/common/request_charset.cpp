#include "common/request_charset.h"

#include <array>
#include <string>

#include "base/error.h"
#include "base/text.h"

namespace veldrask {
namespace {

// Upper case without hyphens, underscores and spaces: "ks_c_5601-1987" -> "KSC56011987".
std::string Folded(std::string_view name) {
  std::string folded;
  for (const char c : ToUpperAscii(TrimSpaces(name))) {
    if (c != '-' && c != '_' && c != ' ') folded += c;
  }
  return folded;
}

// Other names under which pages and servers know the Korean ANSI code page.
constexpr std::array<std::string_view, 6> kKoreanAliases = {"CP949", "MS949", "WINDOWS949",
                                                            "UHC",   "EUCKR", "KSC56011987"};

bool NamesAnsi(const std::string& folded, const CodePage& ansi) {
  if (folded == Folded(ansi.Name())) return true;
  if (Folded(ansi.Name()) != "CP949") return false;
  for (const std::string_view alias : kKoreanAliases) {
    if (folded == alias) return true;
  }
  return false;
}

}  // namespace

bool NamesUtf8(std::string_view charset) {
  return Folded(charset) == "UTF8";
}

const CodePage& RequestCodePage(std::string_view charset, const CodePage& ansi,
                                const CodePage& utf8) {
  const std::string folded = Folded(charset);
  if (folded.empty() || NamesAnsi(folded, ansi)) return ansi;
  if (NamesUtf8(charset)) return utf8;
  throw Error(ErrorNumber::kInvalidArgument,
              "지원하지 않는 문자 집합입니다 (Charset: \"" + std::string(charset) +
                  "\"). 비워 두거나 UTF-8 또는 " + std::string(ansi.Name()) + "로 지정하세요.");
}

}  // namespace veldrask
