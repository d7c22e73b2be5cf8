#pragma once

#include <fstream>
#include <optional>
#include <ostream>
#include <span>
#include <string>

namespace veldrask::host {

// Where --output sends the reply's bytes ("-": stdout, as they came); opened before anything is
// sent, so a path that cannot be written is a usage error.
class ReplyFile {
 public:
  ReplyFile(const std::optional<std::string>& target, std::ostream& out);
  bool Active() const { return stream_ != nullptr; }
  void Write(std::span<const std::byte> bytes);
  // Flushes; false when a write failed.
  bool Finish();

 private:
  std::ofstream file_;
  std::ostream* stream_ = nullptr;
};

}  // namespace veldrask::host
