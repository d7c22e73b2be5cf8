#include "unit/upload/upload_fakes.h"

#include <algorithm>
#include <stdexcept>

#include "base/error.h"

namespace veldrask::upload_test {

void TaskLoop::ProcessPendingEvents() {
  for (std::size_t ready = tasks_.size(); ready > 0 && !tasks_.empty(); --ready) RunNext();
}

void TaskLoop::WaitUntil(const std::function<bool()>& done) {
  while (!done()) {
    if (tasks_.empty()) throw std::runtime_error("waiting with no event left to handle");
    RunNext();
  }
}

void TaskLoop::RunNext() {
  std::function<void()> task = std::move(tasks_.front());
  tasks_.pop_front();
  task();
}

std::uint32_t ManualClock::TickCount() {
  const std::uint32_t now = now_;
  now_ += step_;
  return now;
}

namespace {

class MemoryInputFile : public InputFile {
 public:
  MemoryInputFile(std::string contents, std::size_t readLimit,
                  std::shared_ptr<std::size_t> openFiles)
      : contents_(std::move(contents)), readLimit_(readLimit), openFiles_(std::move(openFiles)) {
    ++*openFiles_;
  }
  ~MemoryInputFile() override { --*openFiles_; }

  std::size_t Read(std::span<std::byte> buffer) override {
    const std::size_t count = std::min({buffer.size(), readLimit_, contents_.size() - position_});
    std::copy_n(reinterpret_cast<const std::byte*>(contents_.data() + position_), count,
                buffer.data());
    position_ += count;
    return count;
  }

 private:
  std::string contents_;
  std::size_t position_ = 0;
  std::size_t readLimit_;
  std::shared_ptr<std::size_t> openFiles_;
};

}  // namespace

const std::string& MemoryFileSystem::Require(const std::string& path) const {
  const auto found = files_.find(path);
  if (found == files_.end()) throw Error(ErrorNumber::kFileNotFound);
  return found->second;
}

std::int64_t MemoryFileSystem::FileSize(const std::string& path) {
  if (const auto reported = reportedSizes_.find(path); reported != reportedSizes_.end()) {
    return reported->second;
  }
  return static_cast<std::int64_t>(Require(path).size());
}

std::unique_ptr<InputFile> MemoryFileSystem::OpenRead(const std::string& path) {
  return std::make_unique<MemoryInputFile>(Require(path), readLimit_, openFiles_);
}

// The upload only reads and measures files.
std::unique_ptr<OutputFile> MemoryFileSystem::OpenWrite(const std::string&) {
  throw std::logic_error("the upload writes no file");
}

std::unique_ptr<OutputFile> MemoryFileSystem::CreateExclusive(const std::string&) {
  throw std::logic_error("the upload writes no file");
}

void MemoryFileSystem::Delete(const std::string&) {
  throw std::logic_error("the upload deletes no file");
}

void MemoryFileSystem::Rename(const std::string&, const std::string&) {
  throw std::logic_error("the upload renames no file");
}

void MemoryFileSystem::CreateFolder(const std::string&) {
  throw std::logic_error("the upload creates no folder");
}

// A socket whose peer is the network's script. Every event is posted, as a real socket's are,
// and Close silences the ones still queued.
class ScriptedSocket : public TcpSocket {
 public:
  ScriptedSocket(ScriptedNetwork& network, SocketEvents& events)
      : network_(network), events_(events) {}

  void Connect(std::string_view host, std::int32_t port) override {
    network_.host_ = std::string(host);
    network_.port_ = port;
    state_ = SocketState::kConnecting;
    Emit([this] {
      if (const auto refusal = network_.script_.refuseWith) {
        state_ = SocketState::kError;
        events_.OnError(*refusal, "연결이 거부되었습니다.");
        return;
      }
      state_ = SocketState::kConnected;
      events_.OnConnect();
    });
  }

  SocketState State() const override { return state_; }

  void Send(std::span<const std::byte> data) override {
    if (state_ != SocketState::kConnected) {
      throw Error(socket_error::kInvalidOperation, "wrong state for the request");
    }
    network_.received_.append(reinterpret_cast<const char*>(data.data()), data.size());
    network_.writes_.push_back(data.size());
    const std::size_t writeNumber = network_.writes_.size();
    Emit([this, size = data.size(), writeNumber] {
      events_.OnSendProgress(static_cast<std::int32_t>(size), 0);
      events_.OnSendComplete();
      if (network_.onWrite_) network_.onWrite_(writeNumber);
    });
    const ServerScript& script = network_.script_;
    if (script.closeAfterBytes && network_.received_.size() >= *script.closeAfterBytes) {
      Answer();
    } else if (!script.closeAfterBytes && RequestComplete()) {
      Answer();
    }
  }

  void GetData(std::vector<std::byte>& out) override {
    out.insert(out.end(), incoming_.begin(), incoming_.end());
    incoming_.clear();
  }

  void Close() override {
    if (state_ != SocketState::kClosed) network_.closedByClient_ = true;
    state_ = SocketState::kClosed;
    liveness_ = std::make_shared<int>(0);
  }

 private:
  bool RequestComplete() const {
    const std::string& received = network_.received_;
    const auto headEnd = received.find("\r\n\r\n");
    const auto lengthAt = received.find("Content-Length: ");
    if (headEnd == std::string::npos || lengthAt == std::string::npos) return false;
    const std::size_t length = std::stoul(received.substr(lengthAt + 16));
    return received.size() >= headEnd + 4 + length;
  }

  void Answer() {
    if (answered_) return;
    answered_ = true;
    const ServerScript& script = network_.script_;
    for (std::size_t at = 0; at < script.reply.size(); at += script.replyPiece) {
      const std::string piece = script.reply.substr(at, script.replyPiece);
      Emit([this, piece] {
        for (const char c : piece) incoming_.push_back(static_cast<std::byte>(c));
        events_.OnDataArrival(static_cast<std::int32_t>(incoming_.size()));
      });
    }
    if (const auto reset = script.resetAfterReply) {
      Emit([this, number = *reset] {
        state_ = SocketState::kError;
        events_.OnError(number, "원격 호스트에 의해 연결이 강제로 끊겼습니다.");
      });
      return;
    }
    const bool closes = script.closeAfterBytes.has_value() || script.closeAfterReply;
    if (closes) {
      Emit([this] {
        state_ = SocketState::kClosed;
        events_.OnClose();
      });
    }
  }

  void Emit(std::function<void()> fire) {
    network_.loop_.Post([alive = std::weak_ptr<int>(liveness_), fire = std::move(fire)] {
      if (!alive.expired()) fire();
    });
  }

  ScriptedNetwork& network_;
  SocketEvents& events_;
  SocketState state_ = SocketState::kClosed;
  std::vector<std::byte> incoming_;
  bool answered_ = false;
  std::shared_ptr<int> liveness_ = std::make_shared<int>(0);
};

std::unique_ptr<TcpSocket> ScriptedNetwork::CreateTcpSocket(SocketEvents& events) {
  ++socketsCreated_;
  return std::make_unique<ScriptedSocket>(*this, events);
}

}  // namespace veldrask::upload_test
