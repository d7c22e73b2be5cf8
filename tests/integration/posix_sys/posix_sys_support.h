#pragma once

// Real folders, environment changes and child processes for the POSIX backend tests. Every
// wait has a limit, so that a broken child can fail a test but never hang it.

#include <chrono>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace veldrask::posix::testing {

// A fresh folder under the temporary folder, removed with everything in it.
class TempFolder {
 public:
  TempFolder();
  ~TempFolder();
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;

  const std::string& Path() const { return path_; }
  std::string operator/(const std::string& name) const { return path_ + "/" + name; }

 private:
  std::string path_;
};

// Sets (or with nullopt removes) an environment variable until destruction.
class EnvironmentOverride {
 public:
  EnvironmentOverride(std::string name, std::optional<std::string> value);
  ~EnvironmentOverride();
  EnvironmentOverride(const EnvironmentOverride&) = delete;
  EnvironmentOverride& operator=(const EnvironmentOverride&) = delete;

 private:
  std::string name_;
  std::optional<std::string> previous_;
};

void WriteTextFile(const std::string& path, const std::string& text);
std::string ReadTextFile(const std::string& path);

// Runs body in a forked child and gives its exit status (body's result), or -1 when it did not
// finish within limit (it is killed then) or ended by a signal. An exception in body is 99.
int RunInChild(const std::function<int()>& body,
               std::chrono::milliseconds limit = std::chrono::seconds(60));

// Starts several children at once, released together so that they really overlap, and gives
// their exit statuses as RunInChild does.
std::vector<int> RunChildrenTogether(const std::vector<std::function<int()>>& bodies,
                                     std::chrono::milliseconds limit = std::chrono::seconds(120));

struct ProgramResult {
  int exitStatus = -1;  // -1: timed out or killed by a signal
  std::string output;   // standard output
};

// Runs a program (found on PATH) with extra environment settings ("NAME=value"; "NAME" alone
// removes it), capturing its standard output, killed after limit.
ProgramResult RunProgram(const std::vector<std::string>& arguments,
                         const std::vector<std::string>& environment,
                         std::chrono::milliseconds limit = std::chrono::seconds(60));

// Drops to the unprivileged "nobody" user when running as root (in a child process only), so
// that permission checks apply. False when that is not possible.
bool DropRootPrivileges();

}  // namespace veldrask::posix::testing
