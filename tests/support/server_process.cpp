#include "support/server_process.h"

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <charconv>
#include <cstring>
#include <stdexcept>
#include <thread>

#include "support/files.h"

extern char** environ;

namespace veldrask::testing {
namespace {

constexpr auto kTermGrace = std::chrono::seconds(3);
constexpr auto kPollInterval = std::chrono::milliseconds(10);

// posix_spawn's C structures, released on every path out.
class SpawnSetup {
 public:
  SpawnSetup() {
    posix_spawn_file_actions_init(&actions_);
    posix_spawnattr_init(&attributes_);
  }
  ~SpawnSetup() {
    posix_spawn_file_actions_destroy(&actions_);
    posix_spawnattr_destroy(&attributes_);
  }
  SpawnSetup(const SpawnSetup&) = delete;
  SpawnSetup& operator=(const SpawnSetup&) = delete;

  posix_spawn_file_actions_t* actions() { return &actions_; }
  posix_spawnattr_t* attributes() { return &attributes_; }

 private:
  posix_spawn_file_actions_t actions_;
  posix_spawnattr_t attributes_;
};

std::vector<std::string> MergedEnvironment(const std::vector<std::string>& extra) {
  std::vector<std::string> merged = extra;
  merged.emplace_back("VELDRASK_EXIT_ON_STDIN_EOF=1");
  for (char** entry = environ; *entry != nullptr; ++entry) {
    const std::string_view inherited(*entry);
    const std::string_view name = inherited.substr(0, inherited.find('='));
    bool replaced = false;
    for (const std::string& own : merged) {
      replaced = replaced || std::string_view(own).substr(0, own.find('=')) == name;
    }
    if (!replaced) merged.emplace_back(inherited);
  }
  return merged;
}

std::vector<char*> CPointers(std::vector<std::string>& strings) {
  std::vector<char*> pointers;
  for (std::string& s : strings) pointers.push_back(s.data());
  pointers.push_back(nullptr);
  return pointers;
}

std::string FileText(const std::filesystem::path& path) {
  try {
    return ReadFile(path);
  } catch (const std::exception&) {
    return {};
  }
}

}  // namespace

ServerProcess::ServerProcess(ServerCommand command) : command_(std::move(command)) {
  if (command_.argv.empty()) throw std::invalid_argument("ServerProcess: empty command");
  Spawn();
  try {
    port_ = WaitForPortLine();
  } catch (...) {
    Stop();
    throw;
  }
}

ServerProcess::~ServerProcess() {
  Stop();
}

void ServerProcess::Spawn() {
  int stdin_pipe[2];
  if (pipe2(stdin_pipe, O_CLOEXEC) != 0) {
    throw std::runtime_error(std::string("pipe2: ") + std::strerror(errno));
  }
  // Only this process holds the writer (close-on-exec keeps it from other children).
  stdin_writer_ = stdin_pipe[1];
  const std::string out_path = (logs_ / "stdout").string();
  const std::string err_path = (logs_ / "stderr").string();

  SpawnSetup setup;
  posix_spawn_file_actions_adddup2(setup.actions(), stdin_pipe[0], STDIN_FILENO);
  posix_spawn_file_actions_addopen(setup.actions(), STDOUT_FILENO, out_path.c_str(),
                                   O_WRONLY | O_CREAT | O_TRUNC, 0600);
  posix_spawn_file_actions_addopen(setup.actions(), STDERR_FILENO, err_path.c_str(),
                                   O_WRONLY | O_CREAT | O_TRUNC, 0600);
  sigset_t no_signals;
  sigemptyset(&no_signals);
  sigset_t default_signals;
  sigemptyset(&default_signals);
  for (int signal_number : {SIGPIPE, SIGTERM, SIGINT, SIGHUP, SIGCHLD}) {
    sigaddset(&default_signals, signal_number);
  }
  posix_spawnattr_setflags(setup.attributes(),
                           POSIX_SPAWN_SETPGROUP | POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF);
  posix_spawnattr_setpgroup(setup.attributes(), 0);
  posix_spawnattr_setsigmask(setup.attributes(), &no_signals);
  posix_spawnattr_setsigdefault(setup.attributes(), &default_signals);

  std::vector<std::string> argv = command_.argv;
  std::vector<std::string> env = MergedEnvironment(command_.env);
  std::vector<char*> argv_pointers = CPointers(argv);
  std::vector<char*> env_pointers = CPointers(env);
  const int status = posix_spawnp(&pid_, argv_pointers[0], setup.actions(), setup.attributes(),
                                  argv_pointers.data(), env_pointers.data());
  close(stdin_pipe[0]);
  if (status != 0) {
    pid_ = -1;
    close(stdin_writer_);
    stdin_writer_ = -1;
    throw std::runtime_error("cannot start " + Describe() + ": " + std::strerror(status));
  }
}

int ServerProcess::WaitForPortLine() {
  const auto deadline = std::chrono::steady_clock::now() + command_.startup_timeout;
  for (;;) {
    const std::string out = FileText(logs_ / "stdout");
    const std::size_t newline = out.find('\n');
    if (newline != std::string::npos) {
      const std::string_view line = std::string_view(out).substr(0, newline);
      int port = 0;
      const std::string_view prefix = "PORT ";
      const char* end = line.data() + line.size();
      if (line.substr(0, prefix.size()) == prefix) {
        const auto [ptr, ec] = std::from_chars(line.data() + prefix.size(), end, port);
        // The control keeps ports in a signed 16-bit value.
        if (ec == std::errc() && ptr == end && port > 0 && port < 32768) return port;
      }
      throw std::runtime_error(Describe() + " printed \"" + std::string(line) +
                               "\" instead of \"PORT N\" (N < 32768); stderr:\n" + StderrText());
    }
    if (!Running()) {
      throw std::runtime_error(Describe() + " exited before printing its port; stderr:\n" +
                               StderrText());
    }
    if (std::chrono::steady_clock::now() > deadline) {
      throw std::runtime_error(Describe() + " printed no port within " +
                               std::to_string(command_.startup_timeout.count()) + " ms; stderr:\n" +
                               StderrText());
    }
    std::this_thread::sleep_for(kPollInterval);
  }
}

bool ServerProcess::Running() {
  if (pid_ <= 0) return false;
  siginfo_t info{};
  // WNOWAIT leaves an exited server a zombie, so its group id stays reserved until Stop().
  if (waitid(P_PID, static_cast<id_t>(pid_), &info, WEXITED | WNOHANG | WNOWAIT) != 0) {
    return false;
  }
  return info.si_pid == 0;
}

void ServerProcess::Stop() {
  if (stdin_writer_ >= 0) {
    close(stdin_writer_);
    stdin_writer_ = -1;
  }
  if (pid_ <= 0) return;
  kill(-pid_, SIGTERM);
  const auto deadline = std::chrono::steady_clock::now() + kTermGrace;
  while (Running() && std::chrono::steady_clock::now() < deadline) {
    std::this_thread::sleep_for(kPollInterval);
  }
  // Also reaches children the server left behind; the unreaped leader keeps the id reserved.
  kill(-pid_, SIGKILL);
  int status = 0;
  while (waitpid(pid_, &status, 0) < 0 && errno == EINTR) {
  }
  pid_ = -1;
}

std::string ServerProcess::StderrText() const {
  return FileText(logs_ / "stderr");
}

std::string ServerProcess::Describe() const {
  std::string text;
  for (const std::string& arg : command_.argv) {
    if (!text.empty()) text += ' ';
    text += arg;
  }
  return "server \"" + text + "\"";
}

}  // namespace veldrask::testing
