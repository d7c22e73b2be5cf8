#pragma once

// In-memory stand-ins for the seams the upload touches: a task loop, a manual clock, a file
// system of strings and a scripted network whose peer is a server written as a script.

#include <cstddef>
#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/clock.h"
#include "platform/event_loop.h"
#include "platform/file_system.h"
#include "platform/locale.h"
#include "platform/tcp_socket.h"

namespace veldrask::upload_test {

// Runs posted tasks in order. A wait with nothing left to run could never end: it throws
// instead of hanging, which fails the test.
class TaskLoop : public EventLoop {
 public:
  void ProcessPendingEvents() override;
  void WaitUntil(const std::function<bool()>& done) override;
  void Post(std::function<void()> task) override { tasks_.push_back(std::move(task)); }

 private:
  void RunNext();
  std::deque<std::function<void()>> tasks_;
};

// Each reading returns the current time and then moves it on by step milliseconds.
class ManualClock : public Clock {
 public:
  std::uint32_t TickCount() override;
  void Set(std::uint32_t now) { now_ = now; }
  void SetStep(std::uint32_t step) { step_ = step; }

 private:
  std::uint32_t now_ = 0;
  std::uint32_t step_ = 0;
};

class FixedLocale : public Locale {
 public:
  NumberStyle Numbers() const override { return NumberStyle{}; }
};

// Files as strings under "\"-separated paths, for reading only. Reads hand out at most readLimit
// bytes at a time, as real files may.
class MemoryFileSystem : public FileSystem {
 public:
  void Put(const std::string& path, std::string contents) { files_[path] = std::move(contents); }
  // Makes FileSize report size whatever the contents hold.
  void ReportSize(const std::string& path, std::int64_t size) { reportedSizes_[path] = size; }
  void SetReadLimit(std::size_t limit) { readLimit_ = limit; }
  std::size_t OpenFiles() const { return *openFiles_; }

  std::string_view Separator() const override { return "\\"; }
  std::string DefaultDownloadFolder() const override { return "C:\\Download"; }
  std::string TempFolder() const override { return "C:\\Temp\\"; }
  std::int64_t FileSize(const std::string& path) override;
  std::unique_ptr<InputFile> OpenRead(const std::string& path) override;
  std::unique_ptr<OutputFile> OpenWrite(const std::string& path) override;
  std::unique_ptr<OutputFile> CreateExclusive(const std::string& path) override;
  void Delete(const std::string& path) override;
  void Rename(const std::string& from, const std::string& to) override;
  bool FileExists(const std::string& path) override { return files_.contains(path); }
  bool FolderExists(const std::string&) override { return false; }
  void CreateFolder(const std::string&) override;

 private:
  const std::string& Require(const std::string& path) const;

  std::map<std::string, std::string> files_;
  std::map<std::string, std::int64_t> reportedSizes_;
  std::size_t readLimit_ = 1 << 20;
  std::shared_ptr<std::size_t> openFiles_ = std::make_shared<std::size_t>(0);
};

// What the scripted server does.
struct ServerScript {
  // Connect fails with this socket error.
  std::optional<std::int32_t> refuseWith = {};
  // The server closes once it has received this many bytes (it reads whole writes).
  std::optional<std::size_t> closeAfterBytes = {};
  // Sent once closeAfterBytes or the whole request (by its Content-Length) has arrived.
  std::string reply = {};
  // Closes after the reply.
  bool closeAfterReply = false;
  // Resets the connection after the reply: the socket reports this error.
  std::optional<std::int32_t> resetAfterReply = {};
  // The reply arrives in pieces of this size, one event each.
  std::size_t replyPiece = 1 << 20;
};

class ScriptedSocket;

class ScriptedNetwork : public Network {
 public:
  ScriptedNetwork(EventLoop& loop, ServerScript script) : loop_(loop), script_(std::move(script)) {}
  std::unique_ptr<TcpSocket> CreateTcpSocket(SocketEvents& events) override;

  std::size_t SocketsCreated() const { return socketsCreated_; }
  // What the server received, and the size of each write in order.
  const std::string& Received() const { return received_; }
  const std::vector<std::size_t>& Writes() const { return writes_; }
  std::string Host() const { return host_; }
  std::int32_t Port() const { return port_; }
  bool ClosedByClient() const { return closedByClient_; }
  // Runs after each write has been handed over (its progress reported).
  void OnWrite(std::function<void(std::size_t writeNumber)> hook) { onWrite_ = std::move(hook); }

 private:
  friend class ScriptedSocket;
  EventLoop& loop_;
  ServerScript script_;
  std::size_t socketsCreated_ = 0;
  std::string received_;
  std::vector<std::size_t> writes_;
  std::string host_;
  std::int32_t port_ = 0;
  bool closedByClient_ = false;
  std::function<void(std::size_t)> onWrite_;
};

}  // namespace veldrask::upload_test
