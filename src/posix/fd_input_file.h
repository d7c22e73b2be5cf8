#pragma once

#include <unistd.h>

#include <cerrno>
#include <span>
#include <string>
#include <utility>

#include "platform/file_system.h"
#include "posix/posix_file_error.h"
#include "posix/unique_fd.h"

namespace veldrask::posix {

// A file opened for reading. Its descriptor is shared with the sockets that hand its bytes to
// the network without copying them through the program: reads and such sends both move the
// one file position.
class FdInputFile final : public InputFile {
 public:
  FdInputFile(UniqueFd fd, std::string path) : fd_(std::move(fd)), path_(std::move(path)) {}

  std::size_t Read(std::span<std::byte> buffer) override {
    for (;;) {
      const ssize_t count = ::read(fd_.Get(), buffer.data(), buffer.size());
      if (count >= 0) return static_cast<std::size_t>(count);
      if (errno != EINTR) throw FileError(errno, path_);
    }
  }

  int Descriptor() const { return fd_.Get(); }

 private:
  UniqueFd fd_;
  std::string path_;
};

}  // namespace veldrask::posix
