#include "wire_case.h"

#include <algorithm>
#include <cctype>

namespace veldrask::testing {
namespace {

const std::set<std::string> kPlaces = {"scripted", "socket"};

std::vector<int> Numbers(const CaseSection& section) {
  std::vector<int> numbers;
  for (const std::string& word : section.arguments) {
    try {
      numbers.push_back(std::stoi(word));
    } catch (const std::exception&) {
      section.Fail(section.number, "not a connection number: " + word);
    }
  }
  return numbers;
}

std::vector<std::string> SplitList(std::string_view list) {
  std::vector<std::string> items;
  std::size_t at = 0;
  while (at <= list.size()) {
    const std::size_t end = std::min(list.find('|', at), list.size());
    if (end > at) items.emplace_back(list.substr(at, end - at));
    at = end + 1;
  }
  return items;
}

}  // namespace

std::string CaseRun::Where() const {
  return control.source + ":" + std::to_string(control.number);
}

const CaseSection* WireCase::ReplyFor(std::string_view target) const {
  const CaseSection* any = nullptr;
  for (const CaseSection& reply : replies) {
    const bool named = !reply.arguments.empty() && !reply.arguments[0].starts_with("after=");
    if (named && reply.arguments[0] == target) return &reply;
    if (!named && any == nullptr) any = &reply;
  }
  return any;
}

WireCase LoadWireCase(const std::filesystem::path& folder, const std::string& name) {
  WireCase wireCase;
  wireCase.name = name;
  std::vector<CaseSection> sections = ReadCaseSections(folder / name);
  if (sections.empty() || sections[0].kind != "case") {
    throw CaseError(name + ": the first section is not \"=== case\"");
  }
  for (const std::string& place : sections[0].arguments) {
    if (place.find('=') != std::string::npos) {
      wireCase.serverOptions.push_back("--" + place);
      continue;
    }
    if (!kPlaces.contains(place)) sections[0].Fail(sections[0].number, "no such place: " + place);
    wireCase.places.insert(place);
  }
  for (std::size_t s = 1; s < sections.size(); ++s) {
    CaseSection& section = sections[s];
    const std::string& kind = section.kind;
    if (kind == "reply") {
      wireCase.replies.push_back(std::move(section));
    } else if (kind == "refuse") {
      wireCase.refused = Numbers(section);
      wireCase.refuseAll = wireCase.refused.empty();
    } else if (kind == "download" || kind == "upload") {
      wireCase.runs.push_back(CaseRun{std::move(section), {}, {}, {}, {}});
    } else if (wireCase.runs.empty()) {
      section.Fail(section.number, "\"" + kind + "\" before any download or upload section");
    } else if (kind == "file") {
      wireCase.runs.back().files.push_back(std::move(section));
    } else if (kind == "wire") {
      wireCase.runs.back().wires.push_back(std::move(section));
    } else if (kind == "saved") {
      wireCase.runs.back().saved.push_back(std::move(section));
    } else if (kind == "outcome") {
      for (CaseLine& line : section.Entries()) wireCase.runs.back().outcome.push_back(line);
    } else {
      section.Fail(section.number, "no such section: " + kind);
    }
  }
  if (wireCase.runs.empty()) throw CaseError(name + ": no download or upload section");
  return wireCase;
}

ControlTexts::ControlTexts(const std::filesystem::path& file) : sections_(ReadCaseSections(file)) {}

std::string ControlTexts::Text(std::string_view name,
                               const std::vector<std::string>& arguments) const {
  for (const CaseSection& section : sections_) {
    if (section.kind != "text" || section.arguments.size() != 1 || section.arguments[0] != name) {
      continue;
    }
    return RenderData(section, [&](std::string_view word, std::string_view) -> std::string {
      if (word == "lines") {
        std::string lines;
        for (const std::string& argument : arguments) {
          lines += (lines.empty() ? "" : "\r\n") + argument;
        }
        return lines;
      }
      const std::size_t n = static_cast<std::size_t>(std::stoul(std::string(word)));
      if (n == 0 || n > arguments.size()) {
        throw CaseError("text " + std::string(name) + " wants argument " + std::string(word));
      }
      return arguments[n - 1];
    });
  }
  throw CaseError("control_texts.txt has no text " + std::string(name));
}

std::filesystem::path CasesFolder() {
  return VELDRASK_WIRE_CASES_DIR;
}

std::vector<std::string> ListedCases() {
  std::vector<std::string> names = SplitList(VELDRASK_WIRE_CASES);
  std::sort(names.begin(), names.end());
  return names;
}

std::vector<std::string> CasesRunningOn(std::string_view place) {
  std::vector<std::string> names;
  for (const std::string& name : ListedCases()) {
    try {
      if (!LoadWireCase(CasesFolder(), name).RunsOn(place)) continue;
    } catch (const CaseError&) {
    }
    names.push_back(name);
  }
  return names;
}

std::string CaseTestName(const ::testing::TestParamInfo<std::string>& test) {
  std::string name = test.param.substr(0, test.param.rfind('.'));
  for (char& c : name) {
    if (std::isalnum(static_cast<unsigned char>(c)) == 0) c = '_';
  }
  return name;
}

}  // namespace veldrask::testing
