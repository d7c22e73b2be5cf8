#include "http/head_collector.h"

namespace veldrask {

std::size_t HeadCollector::Take(std::span<const std::byte> input) {
  std::size_t taken = 0;
  while (taken < input.size() && !complete_) {
    const auto c = static_cast<char>(input[taken]);
    if (text_.empty() && (c == '\r' || c == '\n')) {
      ++taken;
      continue;
    }
    if (text_.size() >= limit_) {
      tooLarge_ = true;
      break;
    }
    text_ += c;
    ++taken;
    if (c == '\n') {
      complete_ = lineLength_ == 0 || (lineLength_ == 1 && previousWasCr_);
      lineLength_ = 0;
    } else {
      ++lineLength_;
    }
    previousWasCr_ = c == '\r';
  }
  return taken;
}

void HeadCollector::Reset() {
  text_.clear();
  lineLength_ = 0;
  previousWasCr_ = false;
  complete_ = false;
  tooLarge_ = false;
}

}  // namespace veldrask
