#pragma once

#include <chrono>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "support/server_process.h"

namespace veldrask::testing {

// The source tree, from VELDRASK_SOURCE_DIR (set for every test by veldrask_add_test).
std::filesystem::path SourceDir();
// tests/servers in the source tree.
std::filesystem::path ServersDir();

// Upload servers: a POST stores every file into store_dir under its sent name and answers a JSON
// UploadReport (see upload_report.h); GET serves store_dir by percent-decoded byte names.
// PHP's router takes POSTs to any path ending in "upload.php"; the others take any path.
std::unique_ptr<ServerProcess> StartPhpServer(const std::filesystem::path& store_dir);
// kind: "formidable", "busboy" or "multer" (an Express app: POST /single, /array, /any).
std::unique_ptr<ServerProcess> StartNodeServer(std::string_view kind,
                                               const std::filesystem::path& store_dir);
// kind: "email" (the standard library's email parser), "werkzeug" or "flask" (a Flask app:
// POST /single, /any, /textbook; GET /files/NAME).
std::unique_ptr<ServerProcess> StartPythonServer(std::string_view kind,
                                                 const std::filesystem::path& store_dir);

// The Flask app answering 413 itself to requests over maxBytes (0: no limit).
std::unique_ptr<ServerProcess> StartFlaskServer(const std::filesystem::path& store_dir,
                                                std::uint64_t maxBytes);

// Every upload server, by the name its reports give in "server"; for tests run against each.
inline constexpr std::string_view kUploadServerKinds[] = {"php", "formidable", "busboy", "email",
                                                          "werkzeug"};
// Starts the upload server of that kind.
std::unique_ptr<ServerProcess> StartUploadServer(std::string_view kind,
                                                 const std::filesystem::path& store_dir);

// The reply of the recording server, sent once a request is complete; then it closes.
struct RecordingReply {
  std::string status = "200 OK";  // after "HTTP/1.1 "
  std::string body = "done";      // UTF-8 here, sent in charset when one is given
  std::string content_type = "text/plain";
  std::string charset;               // adds "; charset=X" and encodes the body in it
  std::vector<std::string> headers;  // "Name: value"
  bool content_length = true;        // false: the body ends at close
  bool send_continue = true;         // interim 100 Continue for Expect: 100-continue
  std::chrono::milliseconds delay{0};
  std::filesystem::path raw_reply_file;  // when set, its bytes are the whole reply
};

// Records connection N (from 1, in accept order) into record_dir/connection-N.bin and creates
// record_dir/connection-N.done once the connection is over.
std::unique_ptr<ServerProcess> StartRecordingServer(const std::filesystem::path& record_dir,
                                                    const RecordingReply& reply = {});

// The bytes connection `number` sent, once the recording server is done with it; throws when
// that takes longer than timeout.
std::string WaitForRecordedConnection(const std::filesystem::path& record_dir, int number,
                                      std::chrono::milliseconds timeout = std::chrono::seconds(10));

// Options of the misbehaving server; tests/servers/python/misbehaving_server.py --help lists the
// scenarios. Downloads of /scenario/NAME/SIZE/FILENAME choose their scenario per request.
struct MisbehavingOptions {
  std::string scenario = "normal";
  std::uint64_t bytes = 0;                       // read-then-close, read-then-reset
  std::uint64_t size = 1000;                     // body size for paths without /scenario/
  std::string status = "413 Payload Too Large";  // early-reply
  std::string body = "too large";                // early-reply
  int pause_ms = 50;                             // split-head, slow, reset-mid-body
  std::uint64_t head_bytes = 1 << 20;            // huge-head
};
std::unique_ptr<ServerProcess> StartMisbehavingServer(const MisbehavingOptions& options = {});
std::unique_ptr<ServerProcess> StartMisbehavingServer(std::string_view scenario);
// The server answering with the replies of a wire case (tests/data/FORMAT.md), with the
// case's options ("--name=value") after the defaults.
std::unique_ptr<ServerProcess> StartMisbehavingServerFor(const std::filesystem::path& caseFile,
                                                         const std::vector<std::string>& options);

// Debian's tinyproxy (tests/servers/python/proxy_server.py): forwards plain requests and opens
// CONNECT tunnels to connectPorts only, when any are named; with basicAuth ("NAME:PASSWORD")
// it answers 407 to a request without them. Its log, one "Request" line a request, goes to log.
struct ProxyOptions {
  std::filesystem::path log;
  std::vector<int> connectPorts;
  std::string basicAuth;
};
std::unique_ptr<ServerProcess> StartProxyServer(const ProxyOptions& options);

// The target for a misbehaving download: /scenario/NAME/SIZE/ and the percent-encoded name.
std::string ScenarioPath(std::string_view scenario, std::uint64_t size, std::string_view name);

}  // namespace veldrask::testing
