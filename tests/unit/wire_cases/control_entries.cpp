#include "control_entries.h"

namespace veldrask::testing {

std::vector<ControlEntry> ControlEntries(const CaseSection& section) {
  std::vector<ControlEntry> entries;
  for (const CaseLine& line : section.Entries()) {
    ControlEntry entry;
    entry.line = line.number;
    const std::size_t equals = line.text.find(" =");
    const std::size_t space = line.text.find(' ');
    if (equals != std::string::npos && equals == space) {
      entry.setting = true;
      entry.name = line.text.substr(0, equals);
      entry.value = line.text.substr(std::min(equals + 3, line.text.size()));
    } else {
      entry.name = line.text.substr(0, space);
      entry.value = space == std::string::npos ? "" : line.text.substr(space + 1);
    }
    entries.push_back(std::move(entry));
  }
  return entries;
}

int EntryNumber(const CaseSection& section, const ControlEntry& entry) {
  try {
    std::size_t end = 0;
    const int number = std::stoi(entry.value, &end);
    if (end == entry.value.size()) return number;
  } catch (const std::exception&) {
  }
  section.Fail(entry.line, entry.name + " wants a number, not " + entry.value);
}

}  // namespace veldrask::testing
