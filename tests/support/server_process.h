#pragma once

#include <sys/types.h>

#include <chrono>
#include <filesystem>
#include <string>
#include <vector>

#include "support/temp_dir.h"

namespace veldrask::testing {

// How to start a test server.
struct ServerCommand {
  std::vector<std::string> argv;  // argv[0] is looked up in PATH
  std::vector<std::string> env;   // "NAME=value" entries added to (or replacing) the inherited ones
  std::chrono::milliseconds startup_timeout{10000};
};

// A test server running in a process group of its own. The constructor returns once the server
// printed "PORT N" as its first line, and throws std::runtime_error, with the server's stderr,
// when it exits first, prints something else or stays silent past the startup timeout. The
// destructor stops the whole group: SIGTERM, then SIGKILL, always reaped.
//
// The server's stdin is a pipe whose other end only this object holds, and servers started here
// get VELDRASK_EXIT_ON_STDIN_EOF=1: should the test process die without running destructors,
// the pipe closes and the servers exit too.
class ServerProcess {
 public:
  explicit ServerProcess(ServerCommand command);
  ~ServerProcess();
  ServerProcess(const ServerProcess&) = delete;
  ServerProcess& operator=(const ServerProcess&) = delete;

  int port() const { return port_; }
  pid_t pid() const { return pid_; }
  // False once the server has exited; Stop() or the destructor reaps it.
  bool Running();
  // Stops the server now; the destructor then has nothing left to do.
  void Stop();
  // What the server wrote to stderr so far.
  std::string StderrText() const;
  // The command line, for messages.
  std::string Describe() const;

 private:
  void Spawn();
  int WaitForPortLine();

  ServerCommand command_;
  TempDir logs_;
  pid_t pid_ = -1;
  int stdin_writer_ = -1;
  int port_ = 0;
};

}  // namespace veldrask::testing
