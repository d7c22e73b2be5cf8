#include "reply_file.h"

#include "options.h"

namespace veldrask::host {

ReplyFile::ReplyFile(const std::optional<std::string>& target, std::ostream& out) {
  if (!target) return;
  target_ = *target;
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

bool KeepReply(ReplyFile& replyFile, ExchangeFollower& follower,
               const std::function<std::string()>& submit, std::ostream& out, Console& console) {
  if (replyFile.Active()) {
    follower.SetReplySink(
        [&replyFile](std::span<const std::byte> bytes) { replyFile.Write(bytes); });
  }
  const std::string reply = submit();
  follower.SetReplySink(nullptr);
  if (!replyFile.Finish()) {
    console.Print("veldrask: --output " + replyFile.Target() + ": write failed");
    return false;
  }
  if (!replyFile.Active()) {
    out.write(reply.data(), static_cast<std::streamsize>(reply.size()));
    out.flush();
  }
  return true;
}

}  // namespace veldrask::host
