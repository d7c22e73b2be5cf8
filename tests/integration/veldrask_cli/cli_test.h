#pragma once

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "cli_process.h"
#include "support/temp_dir.h"
#include "support/test_deadline.h"

namespace veldrask::testing {

// A test that runs the binary with a home folder and a registry of its own, so runs see only
// what the test itself remembered.
class CliTest : public ::testing::Test {
 protected:
  static constexpr std::chrono::seconds kRunLimit{60};

  // The host under test is veldrask.exe under Wine: what Windows makes different is written
  // beside the POSIX expectation where it applies.
  static bool WindowsHost() { return WindowsHostExe().has_value(); }
  // A path as the host's dialogs and windows show it: on Windows through Wine's drive Z:.
  static std::string ShownPath(const std::filesystem::path& path);

  CliResult Run(const std::vector<std::string>& arguments) const;
  CliResult RunIn(const std::filesystem::path& workingFolder,
                  const std::vector<std::string>& arguments) const;
  // environment: "NAME=value" entries beyond the test's own.
  std::unique_ptr<CliProcess> Start(const std::vector<std::string>& arguments,
                                    ErrorOutput errorOutput = ErrorOutput::kPipe,
                                    const std::vector<std::string>& environment = {}) const;

  // Writes a file below the test's folder (raw bytes for the name) and returns its path.
  std::filesystem::path Write(std::string_view name, std::string_view content) const;
  // A fresh folder below the test's folder.
  std::filesystem::path Folder(std::string_view name) const;
  const std::filesystem::path& Root() const { return temp_.path(); }

  // A page with one <object> holding params, in the charset given (UTF-8 or EUC-KR), with a
  // <meta> naming it.
  std::filesystem::path WritePage(std::string_view name,
                                  const std::vector<std::pair<std::string, std::string>>& params,
                                  std::string_view charset = "UTF-8") const;

 private:
  std::vector<std::string> Environment() const;

  TempDir temp_;
  TestDeadline deadline_{std::chrono::seconds(120)};
};

// UTF-8 text as bytes of the Korean code page.
std::string Cp949(std::string_view utf8);

// The lines of text.
std::vector<std::string> Lines(std::string_view text);

}  // namespace veldrask::testing
