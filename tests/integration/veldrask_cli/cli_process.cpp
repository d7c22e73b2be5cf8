#include "cli_process.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <stdlib.h>
#include <sys/ioctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <map>
#include <stdexcept>
#include <system_error>
#include <tuple>
#include <utility>

#include "support/servers.h"

extern char** environ;

namespace veldrask::testing {
namespace {

void CloseIfOpen(int& fd) {
  if (fd >= 0) ::close(fd);
  fd = -1;
}

// The inherited environment with the given entries replacing those of the same name.
std::vector<std::string> MergedEnvironment(const std::vector<std::string>& added) {
  std::map<std::string, std::string> byName;
  auto put = [&byName](const std::string& entry) {
    byName[entry.substr(0, entry.find('='))] = entry;
  };
  for (char** entry = environ; *entry != nullptr; ++entry) put(*entry);
  for (const std::string& entry : added) put(entry);
  std::vector<std::string> merged;
  for (const auto& [name, entry] : byName) merged.push_back(entry);
  return merged;
}

std::vector<char*> Pointers(std::vector<std::string>& strings) {
  std::vector<char*> pointers;
  for (std::string& text : strings) pointers.push_back(text.data());
  pointers.push_back(nullptr);
  return pointers;
}

// A pseudo-terminal: the reading side (the terminal) for us, the other for the program.
std::pair<int, int> OpenTerminal() {
  const int terminal = ::posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
  if (terminal < 0 || ::grantpt(terminal) != 0 || ::unlockpt(terminal) != 0) {
    throw std::system_error(errno, std::generic_category(), "posix_openpt");
  }
  const int program = ::open(::ptsname(terminal), O_RDWR | O_NOCTTY | O_CLOEXEC);
  if (program < 0) throw std::system_error(errno, std::generic_category(), "open pty");
  winsize size{};
  size.ws_col = 100;
  size.ws_row = 40;
  ::ioctl(terminal, TIOCSWINSZ, &size);
  return {terminal, program};
}

}  // namespace

std::filesystem::path CliBinary() {
  return VELDRASK_CLI;
}

std::optional<std::filesystem::path> WindowsHostExe() {
  const char* exe = std::getenv("VELDRASK_CLI_EXE");
  if (exe == nullptr || *exe == '\0') return std::nullopt;
  return std::filesystem::path(exe);
}

std::vector<std::string> CliCommand() {
  if (const std::optional<std::filesystem::path> exe = WindowsHostExe()) {
    if (!std::filesystem::exists(*exe)) {
      throw std::runtime_error(
          exe->string() +
          " is missing: build the Windows presets first (scripts/build-windows.sh)");
    }
    return {"/bin/bash", (SourceDir() / "scripts" / "wine-exe.sh").string(), exe->string()};
  }
  return {CliBinary().string()};
}

CliProcess::CliProcess(const std::vector<std::string>& arguments,
                       const std::vector<std::string>& environment,
                       const std::filesystem::path& workingFolder, ErrorOutput errorOutput) {
  int outFds[2];
  int errFds[2];
  if (::pipe2(outFds, O_CLOEXEC) != 0) {
    throw std::system_error(errno, std::generic_category(), "pipe2");
  }
  if (errorOutput == ErrorOutput::kTerminal) {
    std::tie(errFds[0], errFds[1]) = OpenTerminal();
  } else if (::pipe2(errFds, O_CLOEXEC) != 0) {
    throw std::system_error(errno, std::generic_category(), "pipe2");
  }
  outPipe_ = outFds[0];
  errPipe_ = errFds[0];

  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
  posix_spawn_file_actions_adddup2(&actions, outFds[1], 1);
  posix_spawn_file_actions_adddup2(&actions, errFds[1], 2);
  posix_spawn_file_actions_addchdir_np(&actions, workingFolder.c_str());

  std::vector<std::string> argv = CliCommand();
  argv.insert(argv.end(), arguments.begin(), arguments.end());
  std::vector<std::string> envp = MergedEnvironment(environment);
  std::vector<char*> argvPointers = Pointers(argv);
  std::vector<char*> envpPointers = Pointers(envp);
  // veldrask.exe runs as Wine's processes below a shell: a group of its own, so that a signal
  // reaches all of them as it reaches the one POSIX binary.
  posix_spawnattr_t attributes;
  posix_spawnattr_init(&attributes);
  if (WindowsHostExe()) {
    posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETPGROUP);
    posix_spawnattr_setpgroup(&attributes, 0);
  }
  const int error = posix_spawn(&pid_, argv.front().c_str(), &actions, &attributes,
                                argvPointers.data(), envpPointers.data());
  posix_spawn_file_actions_destroy(&actions);
  posix_spawnattr_destroy(&attributes);
  ::close(outFds[1]);
  ::close(errFds[1]);
  if (error != 0) {
    CloseIfOpen(outPipe_);
    CloseIfOpen(errPipe_);
    throw std::system_error(error, std::generic_category(), "posix_spawn " + argv.front());
  }
}

CliProcess::~CliProcess() {
  if (pid_ > 0) {
    Signal(SIGKILL);
    ::waitpid(pid_, nullptr, 0);
  }
  CloseIfOpen(outPipe_);
  CloseIfOpen(errPipe_);
}

bool CliProcess::ReadSome(std::chrono::steady_clock::time_point deadline) {
  std::vector<pollfd> fds;
  if (outPipe_ >= 0) fds.push_back({outPipe_, POLLIN, 0});
  if (errPipe_ >= 0) fds.push_back({errPipe_, POLLIN, 0});
  if (fds.empty()) return false;
  const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
      deadline - std::chrono::steady_clock::now());
  const int ready =
      ::poll(fds.data(), fds.size(), static_cast<int>(std::max<long>(left.count(), 0)));
  if (ready <= 0) return ready < 0 && errno == EINTR;
  for (const pollfd& entry : fds) {
    if (entry.revents == 0) continue;
    char buffer[65536];
    const ssize_t count = ::read(entry.fd, buffer, sizeof buffer);
    std::string& sink = entry.fd == outPipe_ ? result_.out : result_.err;
    if (count > 0) {
      sink.append(buffer, static_cast<std::size_t>(count));
    } else if (count == 0 || errno != EINTR) {
      CloseIfOpen(entry.fd == outPipe_ ? outPipe_ : errPipe_);
    }
  }
  return true;
}

bool CliProcess::WaitForStderr(std::string_view text, std::chrono::milliseconds limit) {
  const auto deadline = std::chrono::steady_clock::now() + limit;
  while (result_.err.find(text) == std::string::npos) {
    if (std::chrono::steady_clock::now() >= deadline || !ReadSome(deadline)) return false;
  }
  return true;
}

void CliProcess::Signal(int signal) const {
  ::kill(WindowsHostExe() ? -pid_ : pid_, signal);
}

CliResult CliProcess::Finish(std::chrono::milliseconds limit) {
  const auto deadline = std::chrono::steady_clock::now() + limit;
  while (std::chrono::steady_clock::now() < deadline && ReadSome(deadline)) {
  }
  if (outPipe_ >= 0 || errPipe_ >= 0) {
    result_.timedOut = true;
    Signal(SIGKILL);
  }
  int status = 0;
  ::waitpid(pid_, &status, 0);
  pid_ = -1;
  result_.status = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
  return result_;
}

}  // namespace veldrask::testing
