// The physical limit of a transfer on this machine: the fewest system calls that move a file
// to or from an HTTP server on 127.0.0.1, with nothing else around them.
//
//   raw_transfer upload PORT PATH FILE                 sendfile(2) of the whole file
//   raw_transfer upload PORT PATH FILE BLOCK METHOD    stop-and-wait blocks of BLOCK bytes,
//       METHOD read (read + send per block), ahead (256 KiB reads, blocks sent from them),
//       gather:BYTES (256 KiB reads, blocks copied together and sent BYTES at a time, as the
//       control's socket gathers small sends) or sendfile (sendfile per block); poll only when
//       the socket would block
//   raw_transfer download PORT PATH OUT                recv into 1 MiB, write(2) to OUT
//
// An upload prints the reply's body, as veldrask and curl do; the body is the raw file (the
// server reads and drops it, so no multipart framing is needed).
#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/sendfile.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace {

[[noreturn]] void Die(const char* what) {
  std::fprintf(stderr, "raw_transfer: %s: %s\n", what, std::strerror(errno));
  std::exit(1);
}

int ConnectTo(int port) {
  const int fd = socket(AF_INET, SOCK_STREAM, 0);
  if (fd < 0) Die("socket");
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_port = htons(static_cast<std::uint16_t>(port));
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  if (connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0) Die("connect");
  return fd;
}

void SendAll(int fd, std::string_view bytes) {
  while (!bytes.empty()) {
    const ssize_t count = send(fd, bytes.data(), bytes.size(), MSG_NOSIGNAL);
    if (count < 0 && errno == EINTR) continue;
    if (count < 0) Die("send");
    bytes.remove_prefix(static_cast<std::size_t>(count));
  }
}

void WaitWritable(int fd) {
  pollfd entry{fd, POLLOUT, 0};
  while (poll(&entry, 1, -1) < 0) {
    if (errno != EINTR) Die("poll");
  }
}

// Sends bytes on a non-blocking socket, polling only when it would block.
void SendBlock(int fd, const char* data, std::size_t size) {
  while (size > 0) {
    const ssize_t count = send(fd, data, size, MSG_NOSIGNAL | MSG_DONTWAIT);
    if (count > 0) {
      data += count;
      size -= static_cast<std::size_t>(count);
    } else if (errno == EAGAIN) {
      WaitWritable(fd);
    } else if (errno != EINTR) {
      Die("send");
    }
  }
}

void SendFileBlock(int fd, int file, off_t& offset, std::size_t size) {
  while (size > 0) {
    const ssize_t count = sendfile(fd, file, &offset, size);
    if (count > 0) {
      size -= static_cast<std::size_t>(count);
    } else if (count == 0) {
      errno = EIO;
      Die("sendfile: the file ended early");
    } else if (errno == EAGAIN) {
      WaitWritable(fd);
    } else if (errno != EINTR) {
      Die("sendfile");
    }
  }
}

void ReadFull(int file, char* data, std::size_t size) {
  while (size > 0) {
    const ssize_t count = read(file, data, size);
    if (count < 0 && errno == EINTR) continue;
    if (count <= 0) Die("read");
    data += count;
    size -= static_cast<std::size_t>(count);
  }
}

void SendBlocks(int fd, int file, std::size_t fileSize, std::size_t block, std::string_view how) {
  const int flags = fcntl(fd, F_GETFL);
  fcntl(fd, F_SETFL, flags | O_NONBLOCK);
  if (how == "sendfile") {
    off_t offset = 0;
    while (static_cast<std::size_t>(offset) < fileSize) {
      SendFileBlock(fd, file, offset, std::min(block, fileSize - static_cast<std::size_t>(offset)));
    }
  } else if (how == "read") {
    std::vector<char> buffer(block);
    for (std::size_t done = 0; done < fileSize;) {
      const std::size_t size = std::min(block, fileSize - done);
      ReadFull(file, buffer.data(), size);
      SendBlock(fd, buffer.data(), size);
      done += size;
    }
  } else if (how == "ahead") {
    const std::size_t piece = std::max(block, (std::size_t{256} << 10) / block * block);
    std::vector<char> buffer(std::min(piece, fileSize));
    for (std::size_t done = 0; done < fileSize;) {
      const std::size_t size = std::min(piece, fileSize - done);
      ReadFull(file, buffer.data(), size);
      for (std::size_t at = 0; at < size; at += block) {
        SendBlock(fd, buffer.data() + at, std::min(block, size - at));
      }
      done += size;
    }
  } else if (how.starts_with("gather:")) {
    const std::size_t piece = std::size_t{256} << 10;
    std::vector<char> buffer(piece);
    std::vector<char> gathered;
    const std::size_t limit = std::strtoul(how.substr(7).data(), nullptr, 10);
    gathered.reserve(limit + block);
    for (std::size_t done = 0; done < fileSize;) {
      const std::size_t size = std::min(piece, fileSize - done);
      ReadFull(file, buffer.data(), size);
      for (std::size_t at = 0; at < size; at += block) {
        const char* const start = buffer.data() + at;
        gathered.insert(gathered.end(), start, start + std::min(block, size - at));
        if (gathered.size() < limit) continue;
        SendBlock(fd, gathered.data(), gathered.size());
        gathered.clear();
      }
      done += size;
    }
    SendBlock(fd, gathered.data(), gathered.size());
  } else {
    errno = EINVAL;
    Die("method (read, ahead, gather:BYTES or sendfile)");
  }
  fcntl(fd, F_SETFL, flags);
}

void SendWholeFile(int fd, int file, std::size_t fileSize) {
  off_t offset = 0;
  while (static_cast<std::size_t>(offset) < fileSize) {
    const ssize_t count = sendfile(fd, file, &offset, fileSize - static_cast<std::size_t>(offset));
    if (count < 0 && errno == EINTR) continue;
    if (count <= 0) Die("sendfile");
  }
}

// Reads the reply until the server closes and prints its body.
void PrintReplyBody(int fd) {
  std::string reply;
  char buffer[4096];
  for (;;) {
    const ssize_t count = recv(fd, buffer, sizeof buffer, 0);
    if (count < 0 && errno == EINTR) continue;
    if (count < 0) Die("recv");
    if (count == 0) break;
    reply.append(buffer, static_cast<std::size_t>(count));
  }
  const std::size_t body = reply.find("\r\n\r\n");
  if (!reply.starts_with("HTTP/1.1 200") || body == std::string::npos) {
    std::fprintf(stderr, "raw_transfer: unexpected reply %.80s\n", reply.c_str());
    std::exit(1);
  }
  std::fwrite(reply.data() + body + 4, 1, reply.size() - body - 4, stdout);
}

int Upload(int port, const char* path, const char* name, std::size_t block, std::string_view how) {
  const int file = open(name, O_RDONLY | O_CLOEXEC);
  if (file < 0) Die("open");
  struct stat info {};
  if (fstat(file, &info) != 0) Die("fstat");
  const auto fileSize = static_cast<std::size_t>(info.st_size);
  const int fd = ConnectTo(port);
  SendAll(fd, "POST " + std::string(path) +
                  " HTTP/1.1\r\nHost: 127.0.0.1\r\nConnection: close\r\n"
                  "Content-Type: application/octet-stream\r\nContent-Length: " +
                  std::to_string(fileSize) + "\r\n\r\n");
  if (block == 0) {
    SendWholeFile(fd, file, fileSize);
  } else {
    SendBlocks(fd, file, fileSize, block, how);
  }
  PrintReplyBody(fd);
  close(fd);
  close(file);
  return 0;
}

void WriteAll(int file, const char* data, std::size_t size) {
  while (size > 0) {
    const ssize_t count = write(file, data, size);
    if (count < 0 && errno == EINTR) continue;
    if (count < 0) Die("write");
    data += count;
    size -= static_cast<std::size_t>(count);
  }
}

int Download(int port, const char* path, const char* name) {
  const int file = open(name, O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
  if (file < 0) Die("open");
  const int fd = ConnectTo(port);
  SendAll(fd,
          "GET " + std::string(path) + " HTTP/1.1\r\nHost: 127.0.0.1\r\nConnection: close\r\n\r\n");
  // Uninitialised on purpose: recv fills it.
  const std::unique_ptr<char[]> buffer(new char[std::size_t{1} << 20]);
  std::string head;
  bool inBody = false;
  for (;;) {
    const ssize_t count = recv(fd, buffer.get(), std::size_t{1} << 20, 0);
    if (count < 0 && errno == EINTR) continue;
    if (count < 0) Die("recv");
    if (count == 0) break;
    if (inBody) {
      WriteAll(file, buffer.get(), static_cast<std::size_t>(count));
      continue;
    }
    head.append(buffer.get(), static_cast<std::size_t>(count));
    const std::size_t end = head.find("\r\n\r\n");
    if (end == std::string::npos) continue;
    if (!head.starts_with("HTTP/1.1 200")) {
      std::fprintf(stderr, "raw_transfer: unexpected reply %.80s\n", head.c_str());
      return 1;
    }
    inBody = true;
    WriteAll(file, head.data() + end + 4, head.size() - end - 4);
  }
  close(fd);
  if (close(file) != 0) Die("close");
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  const std::string_view kind = argc > 1 ? argv[1] : "";
  if (kind == "upload" && (argc == 5 || argc == 7)) {
    const std::size_t block = argc == 7 ? std::strtoul(argv[5], nullptr, 10) : 0;
    return Upload(std::atoi(argv[2]), argv[3], argv[4], block, argc == 7 ? argv[6] : "");
  }
  if (kind == "download" && argc == 5) return Download(std::atoi(argv[2]), argv[3], argv[4]);
  std::fprintf(stderr,
               "usage: raw_transfer upload PORT PATH FILE [BLOCK read|ahead|sendfile]\n"
               "       raw_transfer download PORT PATH OUT\n");
  return 2;
}
