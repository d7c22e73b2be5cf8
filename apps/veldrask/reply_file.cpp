#include "reply_file.h"

#include "options.h"

namespace veldrask::host {

ReplyFile::ReplyFile(const std::optional<std::string>& target, std::ostream& out) {
  if (!target) return;
  if (*target == "-") {
    stream_ = &out;
    return;
  }
  file_.open(*target, std::ios::binary | std::ios::trunc);
  if (!file_) throw UsageError("--output " + *target + ": cannot be written");
  stream_ = &file_;
}

void ReplyFile::Write(std::span<const std::byte> bytes) {
  stream_->write(reinterpret_cast<const char*>(bytes.data()),
                 static_cast<std::streamsize>(bytes.size()));
}

bool ReplyFile::Finish() {
  if (stream_ == nullptr) return true;
  stream_->flush();
  return static_cast<bool>(*stream_);
}

}  // namespace veldrask::host
