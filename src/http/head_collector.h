#pragma once

#include <cstddef>
#include <span>
#include <string>
#include <string_view>

namespace veldrask {

// Gathers one response head across arrivals, up to and including the empty line that ends
// it. Lines end at LF with or without a CR before it (RFC 9112 lets a recipient accept the
// bare LF, and a lenient reading costs nothing here), so CRLF CRLF, LF LF and their mixes all
// end a head. Line ends before the first byte of a head are skipped. Never holds more than
// limit bytes.
class HeadCollector {
 public:
  explicit HeadCollector(std::size_t limit) : limit_(limit) {}

  // Takes bytes from the start of input until the head is complete or input is used up, and
  // returns how many it took. Stops early, with TooLarge(), at the limit.
  std::size_t Take(std::span<const std::byte> input);

  bool Complete() const { return complete_; }
  bool TooLarge() const { return tooLarge_; }
  // The bytes gathered so far, line ends included.
  std::string_view Text() const { return text_; }

  // Forgets the head, ready for the next one.
  void Reset();

 private:
  std::size_t limit_;
  std::string text_;
  std::size_t lineLength_ = 0;  // bytes of the current line so far, a CR included
  bool previousWasCr_ = false;
  bool complete_ = false;
  bool tooLarge_ = false;
};

}  // namespace veldrask
