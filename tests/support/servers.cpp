#include "support/servers.h"

#include <unistd.h>

#include <cstdlib>
#include <stdexcept>
#include <thread>

#include "support/files.h"
#include "support/hex.h"

namespace veldrask::testing {
namespace {

// Debian's interpreter first: python3-werkzeug installs for it, whatever else is on PATH.
std::string PythonInterpreter() {
  if (const char* chosen = std::getenv("VELDRASK_PYTHON"); chosen != nullptr && *chosen != '\0') {
    return chosen;
  }
  return access("/usr/bin/python3", X_OK) == 0 ? "/usr/bin/python3" : "python3";
}

std::unique_ptr<ServerProcess> StartPythonScript(std::string_view script,
                                                 std::vector<std::string> args) {
  ServerCommand command;
  command.argv = {PythonInterpreter(), (ServersDir() / "python" / std::string(script)).string()};
  command.argv.insert(command.argv.end(), args.begin(), args.end());
  // Keeps the servers from writing __pycache__ into the source tree.
  command.env = {"PYTHONDONTWRITEBYTECODE=1", "PYTHONUNBUFFERED=1"};
  return std::make_unique<ServerProcess>(std::move(command));
}

// The directory made absolute: servers resolve relative paths against their own working dir.
std::string ExistingDirectory(const std::filesystem::path& dir) {
  if (!std::filesystem::is_directory(dir)) {
    throw std::invalid_argument("not a directory: " + dir.string());
  }
  return std::filesystem::absolute(dir).string();
}

std::vector<std::string> MisbehavingArguments(const MisbehavingOptions& options) {
  return {"--scenario=" + options.scenario,
          "--bytes=" + std::to_string(options.bytes),
          "--size=" + std::to_string(options.size),
          "--status=" + options.status,
          "--body=" + options.body,
          "--pause-ms=" + std::to_string(options.pause_ms),
          "--head-bytes=" + std::to_string(options.head_bytes)};
}

}  // namespace

std::filesystem::path SourceDir() {
  const char* dir = std::getenv("VELDRASK_SOURCE_DIR");
  if (dir == nullptr || *dir == '\0') {
    throw std::runtime_error("VELDRASK_SOURCE_DIR is not set (veldrask_add_test sets it)");
  }
  return dir;
}

std::filesystem::path ServersDir() {
  return SourceDir() / "tests" / "servers";
}

std::unique_ptr<ServerProcess> StartPhpServer(const std::filesystem::path& store_dir) {
  ServerCommand command;
  command.argv = {"bash", (ServersDir() / "php" / "serve.sh").string(),
                  ExistingDirectory(store_dir)};
  return std::make_unique<ServerProcess>(std::move(command));
}

std::unique_ptr<ServerProcess> StartNodeServer(std::string_view kind,
                                               const std::filesystem::path& store_dir) {
  if (kind != "formidable" && kind != "busboy" && kind != "multer") {
    throw std::invalid_argument("no Node server of kind " + std::string(kind));
  }
  const std::string store = ExistingDirectory(store_dir);
  if (!std::filesystem::is_directory(ServersDir() / "node_modules" / std::string(kind))) {
    throw std::runtime_error("tests/servers/node_modules lacks " + std::string(kind) +
                             ": run scripts/setup.sh (npm ci in tests/servers)");
  }
  ServerCommand command;
  const std::string script = std::string(kind) + "_server.js";
  command.argv = {"node", (ServersDir() / "node" / script).string(), store};
  return std::make_unique<ServerProcess>(std::move(command));
}

std::unique_ptr<ServerProcess> StartPythonServer(std::string_view kind,
                                                 const std::filesystem::path& store_dir) {
  if (kind != "email" && kind != "werkzeug" && kind != "flask") {
    throw std::invalid_argument("no Python server of kind " + std::string(kind));
  }
  return StartPythonScript(std::string(kind) + "_server.py", {ExistingDirectory(store_dir)});
}

std::unique_ptr<ServerProcess> StartFlaskServer(const std::filesystem::path& store_dir,
                                                std::uint64_t maxBytes) {
  return StartPythonScript(
      "flask_server.py", {"--max-bytes=" + std::to_string(maxBytes), ExistingDirectory(store_dir)});
}

std::unique_ptr<ServerProcess> StartUploadServer(std::string_view kind,
                                                 const std::filesystem::path& store_dir) {
  if (kind == "php") return StartPhpServer(store_dir);
  if (kind == "formidable" || kind == "busboy") return StartNodeServer(kind, store_dir);
  return StartPythonServer(kind, store_dir);
}

std::unique_ptr<ServerProcess> StartProxyServer(const ProxyOptions& options) {
  std::vector<std::string> args;
  for (const int port : options.connectPorts) {
    args.push_back("--connect-port=" + std::to_string(port));
  }
  if (!options.basicAuth.empty()) args.push_back("--basic-auth=" + options.basicAuth);
  args.push_back(options.log.string());
  return StartPythonScript("proxy_server.py", args);
}

std::unique_ptr<ServerProcess> StartRecordingServer(const std::filesystem::path& record_dir,
                                                    const RecordingReply& reply) {
  const std::string records = ExistingDirectory(record_dir);
  // "--name=value" throughout: a value starting with "-" must not read as an option.
  std::vector<std::string> args = {"--status=" + reply.status, "--body=" + reply.body,
                                   "--content-type=" + reply.content_type,
                                   "--reply-delay-ms=" + std::to_string(reply.delay.count())};
  if (!reply.charset.empty()) args.push_back("--charset=" + reply.charset);
  for (const std::string& header : reply.headers) args.push_back("--header=" + header);
  if (!reply.content_length) args.emplace_back("--no-content-length");
  if (!reply.send_continue) args.emplace_back("--no-continue");
  if (!reply.raw_reply_file.empty()) {
    args.push_back("--raw-reply-file=" + reply.raw_reply_file.string());
  }
  args.push_back(records);
  return StartPythonScript("recording_server.py", std::move(args));
}

std::string WaitForRecordedConnection(const std::filesystem::path& record_dir, int number,
                                      std::chrono::milliseconds timeout) {
  const std::string stem = "connection-" + std::to_string(number);
  const auto deadline = std::chrono::steady_clock::now() + timeout;
  while (!std::filesystem::exists(record_dir / (stem + ".done"))) {
    if (std::chrono::steady_clock::now() > deadline) {
      throw std::runtime_error("the recording server did not finish " + stem + " in " +
                               std::to_string(timeout.count()) + " ms");
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  return ReadFile(record_dir / (stem + ".bin"));
}

std::unique_ptr<ServerProcess> StartMisbehavingServer(const MisbehavingOptions& options) {
  return StartPythonScript("misbehaving_server.py", MisbehavingArguments(options));
}

std::unique_ptr<ServerProcess> StartMisbehavingServerFor(const std::filesystem::path& caseFile,
                                                         const std::vector<std::string>& options) {
  std::vector<std::string> args = MisbehavingArguments({});
  args.push_back("--case=" + caseFile.string());
  args.insert(args.end(), options.begin(), options.end());
  return StartPythonScript("misbehaving_server.py", std::move(args));
}

std::unique_ptr<ServerProcess> StartMisbehavingServer(std::string_view scenario) {
  MisbehavingOptions options;
  options.scenario = scenario;
  return StartMisbehavingServer(options);
}

std::string ScenarioPath(std::string_view scenario, std::uint64_t size, std::string_view name) {
  return "/scenario/" + std::string(scenario) + "/" + std::to_string(size) + "/" +
         PercentEncodePath(name);
}

}  // namespace veldrask::testing
