#pragma once

// The entries of a run's download or upload section: "Name = value" settings and
// "word arguments…" actions.

#include <string>
#include <vector>

#include "case_file.h"

namespace veldrask::testing {

struct ControlEntry {
  std::string name;
  std::string value;  // after " = ", or the words after the first; escapes not yet done
  bool setting = false;
  int line = 0;
};

std::vector<ControlEntry> ControlEntries(const CaseSection& section);

// A setting's value as a 16- or 32-bit number.
int EntryNumber(const CaseSection& section, const ControlEntry& entry);

}  // namespace veldrask::testing
