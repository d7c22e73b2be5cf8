#pragma once

// The text of a wire case file (tests/data/FORMAT.md): its sections, the steps of a data
// section, and the bytes its lines stand for.

#include <filesystem>
#include <functional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace veldrask::testing {

// What is wrong with a case file, as "file:line: what".
class CaseError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

struct CaseLine {
  std::string text;
  int number = 0;
};

struct CaseSection {
  std::string source;  // the file, for messages
  std::string kind;
  std::vector<std::string> arguments;  // the words after the kind
  std::vector<CaseLine> lines;
  int number = 0;  // of the "===" line

  // A CaseError naming this section's file and line.
  [[noreturn]] void Fail(int line, const std::string& what) const;
  // The lines of a list section: blank lines and "#" comments left out.
  std::vector<CaseLine> Entries() const;
};

std::vector<CaseSection> ReadCaseSections(const std::filesystem::path& file);
std::vector<CaseSection> ParseCaseSections(std::string_view text, const std::string& source);

// A data section cut at its "---" markers: the bytes before the first marker are a step of
// the word firstWord.
struct CaseStep {
  std::string word;
  std::vector<std::string> options;
  std::vector<CaseLine> lines;
  int number = 0;
};
std::vector<CaseStep> SplitSteps(const CaseSection& section, std::string_view firstWord);

// Computes a %{WORD ARGUMENT} other than the built-in length and repeat; ARGUMENT comes with
// its own escapes done. Throws for a word it does not know.
using CaseWords = std::function<std::string(std::string_view word, std::string_view argument)>;

// Each step's bytes; %{length} counts the bytes after the first empty line over all of them.
std::vector<std::string> RenderSteps(const CaseSection& section, const std::vector<CaseStep>& steps,
                                     const CaseWords& words);
// The whole data section's bytes.
std::string RenderData(const CaseSection& section, const CaseWords& words);
// The bytes of a list entry's text: escapes done, no line end.
std::string RenderText(std::string_view text, const CaseWords& words);
// A list entry's text split at spaces, each word rendered.
std::vector<std::string> RenderWords(std::string_view text, const CaseWords& words);

// The words that every case knows of: none beyond the built-in ones.
std::string NoWords(std::string_view word, std::string_view argument);

}  // namespace veldrask::testing
