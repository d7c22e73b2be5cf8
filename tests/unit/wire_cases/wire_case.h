#pragma once

// A wire case (tests/data/FORMAT.md) read into its parts: where it runs, the server's replies
// and refusals, and its runs, each with what the control is asked, the files around it, the
// bytes expected on the wire and the outcome.

#include <gtest/gtest.h>

#include <filesystem>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "case_file.h"

namespace veldrask::testing {

struct CaseRun {
  CaseSection control;  // "download" or "upload"
  std::vector<CaseSection> files;
  std::vector<CaseSection> wires;  // one a connection, in order
  std::vector<CaseSection> saved;
  std::vector<CaseLine> outcome;

  bool IsDownload() const { return control.kind == "download"; }
  // The line that names the run in a failure: "download.case:12".
  std::string Where() const;
};

struct WireCase {
  std::string name;              // the path below the cases folder
  std::set<std::string> places;  // "scripted", "socket"
  // The misbehaving server's options for a socket run, as "--name=value".
  std::vector<std::string> serverOptions;
  std::vector<CaseSection> replies;
  // Connections refused, by number from 1; empty with refuseAll.
  std::vector<int> refused;
  bool refuseAll = false;
  std::vector<CaseRun> runs;

  bool RunsOn(std::string_view place) const { return places.contains(std::string(place)); }
  // The reply for a request target: the one naming it, else the one naming none; null without.
  const CaseSection* ReplyFor(std::string_view target) const;
};

WireCase LoadWireCase(const std::filesystem::path& folder, const std::string& name);

// The texts of tests/data/control_texts.txt, filled with a message entry's arguments.
class ControlTexts {
 public:
  explicit ControlTexts(const std::filesystem::path& file);
  std::string Text(std::string_view name, const std::vector<std::string>& arguments) const;

 private:
  std::vector<CaseSection> sections_;
};

// The cases folder and the case files CMake found in it (VELDRASK_WIRE_CASES_DIR and
// VELDRASK_WIRE_CASES, "|"-separated paths relative to it).
std::filesystem::path CasesFolder();
std::vector<std::string> ListedCases();
// The names of the listed cases that run at place; a case that cannot be read is listed, so
// that its test says why.
std::vector<std::string> CasesRunningOn(std::string_view place);
// A test name for a case: "download/status-404.case" becomes "download_status_404".
std::string CaseTestName(const ::testing::TestParamInfo<std::string>& test);

}  // namespace veldrask::testing
