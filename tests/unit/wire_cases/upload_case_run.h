#pragma once

// An upload run of a wire case: the request composed as Submit composes it from the run's
// entries and picked files (kept in memory), sent by the upload window on the scripted
// network of base.

#include <map>
#include <string>

#include "case_file.h"
#include "case_outcome.h"
#include "test_platform.h"
#include "wire_case.h"

namespace veldrask::testing {

class UploadCaseRun {
 public:
  UploadCaseRun(TestPlatform& base, const CaseRun& run, const CaseWords& words);

  // The words of this run's wire: %{file PATH [FROM [TO]]} besides words.
  CaseWords Words() const;
  // Sends the request; the session runs to its end.
  ObservedRun Run();

 private:
  TestPlatform& base_;
  const CaseRun& run_;
  const CaseWords& words_;
  std::map<std::string, std::string> files_;  // the picked files by path
};

}  // namespace veldrask::testing
