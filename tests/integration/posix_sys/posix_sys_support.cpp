#include "posix_sys_support.h"

#include <fcntl.h>
#include <grp.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <iterator>
#include <sstream>
#include <stdexcept>
#include <thread>

extern char** environ;

namespace veldrask::posix::testing {
namespace {

using Clock = std::chrono::steady_clock;

// The child's exit status, or -1 for a signal or when the deadline passed (the child is
// killed and reaped then).
int WaitUntil(pid_t child, Clock::time_point deadline) {
  for (;;) {
    int status = 0;
    const pid_t done = ::waitpid(child, &status, WNOHANG);
    if (done == child) return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    if (done < 0 && errno != EINTR) return -1;
    if (Clock::now() >= deadline) {
      ::kill(child, SIGKILL);
      ::waitpid(child, &status, 0);
      return -1;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
}

[[noreturn]] void RunBodyAndExit(const std::function<int()>& body) {
  int code = 99;
  try {
    code = body();
  } catch (...) {
  }
  std::fflush(nullptr);
  ::_exit(code & 0xFF);
}

void FlushBeforeFork() {
  std::cout.flush();
  std::cerr.flush();
  std::fflush(nullptr);
}

}  // namespace

TempFolder::TempFolder() {
  std::string pattern = (std::filesystem::temp_directory_path() / "posix_sys.XXXXXX").string();
  if (::mkdtemp(pattern.data()) == nullptr) throw std::runtime_error("mkdtemp failed");
  path_ = pattern;
}

TempFolder::~TempFolder() {
  std::error_code ignored;
  // Tests may leave folders without write or search permission behind.
  std::filesystem::permissions(path_, std::filesystem::perms::owner_all,
                               std::filesystem::perm_options::add, ignored);
  for (const auto& entry : std::filesystem::recursive_directory_iterator(
           path_, std::filesystem::directory_options::skip_permission_denied, ignored)) {
    if (entry.is_directory(ignored) && !entry.is_symlink(ignored)) {
      std::filesystem::permissions(entry.path(), std::filesystem::perms::owner_all,
                                   std::filesystem::perm_options::add, ignored);
    }
  }
  std::filesystem::remove_all(path_, ignored);
}

EnvironmentOverride::EnvironmentOverride(std::string name, std::optional<std::string> value)
    : name_(std::move(name)) {
  if (const char* previous = std::getenv(name_.c_str())) previous_ = previous;
  if (value) {
    ::setenv(name_.c_str(), value->c_str(), 1);
  } else {
    ::unsetenv(name_.c_str());
  }
}

EnvironmentOverride::~EnvironmentOverride() {
  if (previous_) {
    ::setenv(name_.c_str(), previous_->c_str(), 1);
  } else {
    ::unsetenv(name_.c_str());
  }
}

void WriteTextFile(const std::string& path, const std::string& text) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out << text;
  if (!out.flush()) throw std::runtime_error("cannot write " + path);
}

std::string ReadTextFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

int RunInChild(const std::function<int()>& body, std::chrono::milliseconds limit) {
  const Clock::time_point deadline = Clock::now() + limit;
  FlushBeforeFork();
  const pid_t child = ::fork();
  if (child < 0) return -1;
  if (child == 0) RunBodyAndExit(body);
  return WaitUntil(child, deadline);
}

std::vector<int> RunChildrenTogether(const std::vector<std::function<int()>>& bodies,
                                     std::chrono::milliseconds limit) {
  const Clock::time_point deadline = Clock::now() + limit;
  int gate[2];
  if (::pipe2(gate, O_CLOEXEC) != 0) return std::vector<int>(bodies.size(), -1);
  FlushBeforeFork();
  std::vector<pid_t> children;
  for (const std::function<int()>& body : bodies) {
    const pid_t child = ::fork();
    if (child == 0) {
      ::close(gate[1]);
      char byte = 0;
      while (::read(gate[0], &byte, 1) < 0 && errno == EINTR) {
      }
      RunBodyAndExit(body);
    }
    children.push_back(child);
  }
  ::close(gate[0]);
  ::close(gate[1]);  // end of file for every child: they all start now
  std::vector<int> statuses;
  for (const pid_t child : children) {
    statuses.push_back(child < 0 ? -1 : WaitUntil(child, deadline));
  }
  return statuses;
}

ProgramResult RunProgram(const std::vector<std::string>& arguments,
                         const std::vector<std::string>& environment,
                         std::chrono::milliseconds limit) {
  const Clock::time_point deadline = Clock::now() + limit;
  std::vector<std::string> variables;
  for (char** entry = environ; *entry != nullptr; ++entry) {
    const std::string variable = *entry;
    const std::string name = variable.substr(0, variable.find('='));
    bool overridden = false;
    for (const std::string& setting : environment) {
      overridden = overridden || setting.substr(0, setting.find('=')) == name;
    }
    if (!overridden) variables.push_back(variable);
  }
  for (const std::string& setting : environment) {
    if (setting.find('=') != std::string::npos) variables.push_back(setting);
  }
  std::vector<char*> envp;
  for (std::string& variable : variables) envp.push_back(variable.data());
  envp.push_back(nullptr);
  std::vector<std::string> argumentCopies = arguments;
  std::vector<char*> argv;
  for (std::string& argument : argumentCopies) argv.push_back(argument.data());
  argv.push_back(nullptr);

  ProgramResult result;
  int output[2];
  if (::pipe2(output, O_CLOEXEC) != 0) return result;
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_adddup2(&actions, output[1], STDOUT_FILENO);
  pid_t child = 0;
  const int spawned = posix_spawnp(&child, argv[0], &actions, nullptr, argv.data(), envp.data());
  posix_spawn_file_actions_destroy(&actions);
  ::close(output[1]);
  if (spawned != 0) {
    ::close(output[0]);
    return result;
  }
  for (;;) {
    const auto left =
        std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
    if (left.count() <= 0) break;
    pollfd readable{output[0], POLLIN, 0};
    if (::poll(&readable, 1, static_cast<int>(left.count())) <= 0) continue;
    char buffer[4096];
    const ssize_t count = ::read(output[0], buffer, sizeof buffer);
    if (count <= 0) break;
    result.output.append(buffer, static_cast<std::size_t>(count));
  }
  ::close(output[0]);
  result.exitStatus = WaitUntil(child, deadline);
  return result;
}

bool DropRootPrivileges() {
  if (::geteuid() != 0) return true;
  constexpr uid_t kNobody = 65534;
  return ::setgroups(0, nullptr) == 0 && ::setgid(kNobody) == 0 && ::setuid(kNobody) == 0 &&
         ::geteuid() == kNobody;
}

}  // namespace veldrask::posix::testing
