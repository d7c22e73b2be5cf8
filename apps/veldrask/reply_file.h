#pragma once

#include <fstream>
#include <functional>
#include <optional>
#include <ostream>
#include <span>
#include <string>

#include "console.h"
#include "exchange_follower.h"

namespace veldrask::host {

// Where --output sends the reply's bytes ("-": stdout, as they came); opened before anything is
// sent, so a path that cannot be written is a usage error.
class ReplyFile {
 public:
  ReplyFile(const std::optional<std::string>& target, std::ostream& out);
  bool Active() const { return stream_ != nullptr; }
  const std::string& Target() const { return target_; }
  void Write(std::span<const std::byte> bytes);
  // Flushes; false when a write failed.
  bool Finish();

 private:
  std::string target_;
  std::ofstream file_;
  std::ostream* stream_ = nullptr;
};

// Runs submit, the reply's bytes going to replyFile as they arrive (through follower) when it
// is active, else the reply's text that submit returns to out. False when the reply file could
// not be written, after saying so.
bool KeepReply(ReplyFile& replyFile, ExchangeFollower& follower,
               const std::function<std::string()>& submit, std::ostream& out, Console& console);

}  // namespace veldrask::host
