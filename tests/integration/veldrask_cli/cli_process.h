#pragma once

#include <sys/types.h>

#include <chrono>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace veldrask::testing {

// How a run of the veldrask binary ended.
struct CliResult {
  int status = -1;        // exit status; 128 + N when killed by signal N
  std::string out;        // stdout, byte for byte
  std::string err;        // stderr
  bool timedOut = false;  // killed after its time limit
};

// Where the binary's stderr goes: a pipe, or a pseudo-terminal 100 columns wide.
enum class ErrorOutput { kPipe, kTerminal };

// The veldrask binary run as a user runs it: its own process, stdin from /dev/null, stdout
// into a pipe and stderr as asked, in workingFolder, with environment entries "NAME=value"
// added to the inherited ones.
class CliProcess {
 public:
  CliProcess(const std::vector<std::string>& arguments, const std::vector<std::string>& environment,
             const std::filesystem::path& workingFolder,
             ErrorOutput errorOutput = ErrorOutput::kPipe);
  ~CliProcess();  // kills and reaps a process still running
  CliProcess(const CliProcess&) = delete;
  CliProcess& operator=(const CliProcess&) = delete;

  // Reads output until stderr holds text; false when the process ends or limit passes first.
  bool WaitForStderr(std::string_view text, std::chrono::milliseconds limit);
  void Signal(int signal) const;
  // Reads everything until the process ends, killing it after limit.
  CliResult Finish(std::chrono::milliseconds limit);

 private:
  // Reads what is ready within the time left; false once both pipes are closed.
  bool ReadSome(std::chrono::steady_clock::time_point deadline);

  pid_t pid_ = -1;
  int outPipe_ = -1;
  int errPipe_ = -1;
  CliResult result_;
};

// The path of the built binary.
std::filesystem::path CliBinary();

// veldrask.exe when the suites run against the Windows host (VELDRASK_CLI_EXE): then each run
// goes through scripts/wine-exe.sh.
std::optional<std::filesystem::path> WindowsHostExe();

// The command line that runs the host under test, before its arguments.
std::vector<std::string> CliCommand();

}  // namespace veldrask::testing
