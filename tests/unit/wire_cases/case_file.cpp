#include "case_file.h"

#include <charconv>
#include <fstream>
#include <iterator>

namespace veldrask::testing {
namespace {

constexpr std::string_view kSectionStart = "=== ";
constexpr std::string_view kMarkerStart = "--- ";
constexpr std::string_view kHeadEnd = "\r\n\r\n";

std::vector<std::string> SplitAtSpaces(std::string_view text) {
  std::vector<std::string> words;
  std::size_t at = 0;
  while (at < text.size()) {
    const std::size_t end = std::min(text.find(' ', at), text.size());
    if (end > at) words.emplace_back(text.substr(at, end - at));
    at = end + 1;
  }
  return words;
}

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

// Bytes in the making, with the places where %{length} goes once the whole section is known.
struct Rendering {
  std::string bytes;
  std::vector<std::size_t> lengthAt;
};

class Renderer {
 public:
  Renderer(const CaseWords& words, bool lengthAllowed)
      : words_(words), lengthAllowed_(lengthAllowed) {}

  void Text(std::string_view text, Rendering& out) const {
    std::size_t at = 0;
    while (at < text.size()) {
      const std::size_t escape = text.find('%', at);
      if (escape == std::string_view::npos || escape + 1 == text.size()) {
        out.bytes += text.substr(at);
        return;
      }
      out.bytes += text.substr(at, escape - at);
      const char open = text[escape + 1];
      if (open == '[') {
        at = Bytes(text, escape + 2, out.bytes);
      } else if (open == '{') {
        at = Word(text, escape + 2, out);
      } else {
        out.bytes += '%';
        at = escape + 1;
      }
    }
  }

 private:
  // %[hex], from the first digit; returns the position past "]".
  static std::size_t Bytes(std::string_view text, std::size_t at, std::string& out) {
    const std::size_t close = text.find(']', at);
    if (close == std::string_view::npos) throw CaseError("%[ without ]");
    std::string digits;
    for (const char c : text.substr(at, close - at)) {
      if (c == ' ') continue;
      if (HexDigit(c) < 0) throw CaseError("not a hex digit in %[...]: " + std::string(1, c));
      digits += c;
    }
    if (digits.size() % 2 != 0) throw CaseError("an odd number of hex digits in %[...]");
    for (std::size_t i = 0; i < digits.size(); i += 2) {
      out += static_cast<char>(HexDigit(digits[i]) * 16 + HexDigit(digits[i + 1]));
    }
    return close + 1;
  }

  // %{WORD ARGUMENT}, from the word; returns the position past the matching "}".
  std::size_t Word(std::string_view text, std::size_t at, Rendering& out) const {
    int depth = 1;
    std::size_t close = at;
    for (; close < text.size() && depth > 0; ++close) {
      if (text[close] == '{') ++depth;
      if (text[close] == '}') --depth;
    }
    if (depth > 0) throw CaseError("%{ without }");
    const std::string_view inner = text.substr(at, close - 1 - at);
    const std::size_t space = std::min(inner.find(' '), inner.size());
    const std::string_view word = inner.substr(0, space);
    const std::string_view argument = space < inner.size() ? inner.substr(space + 1) : "";
    if (word == "length") {
      if (!lengthAllowed_) throw CaseError("%{length} outside a data section");
      out.lengthAt.push_back(out.bytes.size());
    } else if (word == "repeat") {
      const std::size_t gap = std::min(argument.find(' '), argument.size());
      std::size_t count = 0;
      const auto [end, error] = std::from_chars(argument.data(), argument.data() + gap, count);
      if (error != std::errc() || end != argument.data() + gap) {
        throw CaseError("%{repeat N TEXT} wants a count");
      }
      const std::string once =
          RenderText(gap < argument.size() ? argument.substr(gap + 1) : "", words_);
      for (std::size_t i = 0; i < count; ++i) out.bytes += once;
    } else {
      out.bytes += words_(word, RenderText(argument, words_));
    }
    return close;
  }

  const CaseWords& words_;
  bool lengthAllowed_;
};

}  // namespace

void CaseSection::Fail(int line, const std::string& what) const {
  throw CaseError(source + ":" + std::to_string(line) + ": " + what);
}

std::vector<CaseLine> CaseSection::Entries() const {
  std::vector<CaseLine> entries;
  for (const CaseLine& line : lines) {
    if (!line.text.empty() && line.text[0] != '#') entries.push_back(line);
  }
  return entries;
}

std::vector<CaseSection> ReadCaseSections(const std::filesystem::path& file) {
  std::ifstream in(file, std::ios::binary);
  if (!in) throw CaseError("cannot read " + file.string());
  const std::string text{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
  return ParseCaseSections(text, file.filename().string());
}

std::vector<CaseSection> ParseCaseSections(std::string_view text, const std::string& source) {
  std::vector<CaseSection> sections;
  int number = 0;
  std::size_t at = 0;
  while (at < text.size()) {
    const std::size_t end = std::min(text.find('\n', at), text.size());
    const std::string_view line = text.substr(at, end - at);
    at = end + 1;
    ++number;
    if (line.ends_with('\r')) {
      throw CaseError(source + ":" + std::to_string(number) + ": a CR LF line end (LF only)");
    }
    if (line.starts_with(kSectionStart)) {
      std::vector<std::string> words = SplitAtSpaces(line.substr(kSectionStart.size()));
      if (words.empty()) throw CaseError(source + ":" + std::to_string(number) + ": no kind");
      CaseSection section{source, words[0], {words.begin() + 1, words.end()}, {}, number};
      sections.push_back(std::move(section));
    } else if (sections.empty()) {
      if (!line.empty()) {
        throw CaseError(source + ":" + std::to_string(number) + ": text before the first ===");
      }
    } else {
      sections.back().lines.push_back({std::string(line), number});
    }
  }
  return sections;
}

std::vector<CaseStep> SplitSteps(const CaseSection& section, std::string_view firstWord) {
  std::vector<CaseStep> steps{{std::string(firstWord), {}, {}, section.number}};
  for (const CaseLine& line : section.lines) {
    if (line.text.starts_with(kMarkerStart)) {
      std::vector<std::string> words = SplitAtSpaces(line.text.substr(kMarkerStart.size()));
      if (words.empty()) section.Fail(line.number, "a marker without a word");
      steps.push_back({words[0], {words.begin() + 1, words.end()}, {}, line.number});
    } else {
      steps.back().lines.push_back(line);
    }
  }
  // A marker on the first line leaves the first step empty: it is no step then.
  if (steps.size() > 1 && steps[0].lines.empty()) steps.erase(steps.begin());
  return steps;
}

std::vector<std::string> RenderSteps(const CaseSection& section, const std::vector<CaseStep>& steps,
                                     const CaseWords& words) {
  const Renderer renderer(words, true);
  std::vector<Rendering> rendered(steps.size());
  for (std::size_t s = 0; s < steps.size(); ++s) {
    for (const CaseLine& line : steps[s].lines) {
      if (line.text.ends_with(' ') || line.text.ends_with('\t')) {
        section.Fail(line.number, "a line ending in white space: write it as %[20] or %[09]");
      }
      const bool joined = line.text.ends_with('\\');
      try {
        renderer.Text(joined ? std::string_view(line.text).substr(0, line.text.size() - 1)
                             : std::string_view(line.text),
                      rendered[s]);
      } catch (const CaseError& error) {
        section.Fail(line.number, error.what());
      }
      if (!joined) rendered[s].bytes += "\r\n";
    }
  }
  // The body: what follows the first empty line, over every step.
  std::string all;
  for (const Rendering& step : rendered) all += step.bytes;
  const std::size_t headEnd = all.find(kHeadEnd);
  const std::size_t bodyStart = headEnd == std::string::npos ? all.size() : headEnd + 4;
  const std::string length = std::to_string(all.size() - bodyStart);
  std::vector<std::string> out;
  std::size_t offset = 0;
  for (Rendering& step : rendered) {
    for (auto place = step.lengthAt.rbegin(); place != step.lengthAt.rend(); ++place) {
      if (offset + *place >= bodyStart) section.Fail(section.number, "%{length} inside the body");
      step.bytes.insert(*place, length);
    }
    offset += step.bytes.size() - length.size() * step.lengthAt.size();
    out.push_back(std::move(step.bytes));
  }
  return out;
}

std::string RenderData(const CaseSection& section, const CaseWords& words) {
  const std::vector<CaseStep> steps = SplitSteps(section, "data");
  if (steps.size() != 1 || steps[0].word != "data") {
    section.Fail(steps.back().number, "no markers in a " + section.kind + " section");
  }
  return RenderSteps(section, steps, words)[0];
}

std::string RenderText(std::string_view text, const CaseWords& words) {
  Rendering out;
  Renderer(words, false).Text(text, out);
  return out.bytes;
}

std::vector<std::string> RenderWords(std::string_view text, const CaseWords& words) {
  // Spaces inside %[...] and %{...} do not part words.
  std::vector<std::string> rendered;
  std::string word;
  int depth = 0;
  for (std::size_t at = 0; at <= text.size(); ++at) {
    const char c = at < text.size() ? text[at] : ' ';
    if (c == ' ' && depth == 0) {
      if (!word.empty()) rendered.push_back(RenderText(word, words));
      word.clear();
      continue;
    }
    if ((c == '[' || c == '{') && at > 0 && (text[at - 1] == '%' || depth > 0)) ++depth;
    if ((c == ']' || c == '}') && depth > 0) --depth;
    word += c;
  }
  return rendered;
}

std::string NoWords(std::string_view word, std::string_view) {
  throw CaseError("no %{" + std::string(word) + "} here");
}

}  // namespace veldrask::testing
