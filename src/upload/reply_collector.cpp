#include "upload/reply_collector.h"

#include <algorithm>

#include "base/text.h"
#include "http/field_text.h"
#include "http/header_values.h"

namespace veldrask {
namespace {

bool IsUtf8Name(std::string_view charset) {
  return http_text::EqualsIgnoreCase(charset, "utf-8") ||
         http_text::EqualsIgnoreCase(charset, "utf8");
}

bool IsLatin1Name(std::string_view charset) {
  return http_text::EqualsIgnoreCase(charset, "iso-8859-1") ||
         http_text::EqualsIgnoreCase(charset, "latin1");
}

std::string ValidUtf8(std::string_view text) {
  if (IsValidUtf8(text)) return std::string(text);
  std::string valid;
  valid.reserve(text.size());
  for (std::size_t offset = 0; offset < text.size();) {
    AppendCodePoint(valid, NextCodePoint(text, offset));
  }
  return valid;
}

std::string Latin1ToUtf8(std::string_view text) {
  std::string utf8;
  utf8.reserve(text.size());
  for (const char c : text) AppendCodePoint(utf8, static_cast<unsigned char>(c));
  return utf8;
}

}  // namespace

void ReplyCollector::Add(std::span<const std::byte> arrival) {
  if (!reader_.HasHead()) {
    const std::size_t room = kUnparsedLimit - std::min(unparsed_.size(), kUnparsedLimit);
    unparsed_.append(reinterpret_cast<const char*>(arrival.data()), std::min(arrival.size(), room));
  }
  reader_.Feed(arrival, [this](std::span<const std::byte> bytes) {
    body_.append(reinterpret_cast<const char*>(bytes.data()), bytes.size());
    if (tap_) tap_(bytes);
  });
  if (reader_.HasHead()) unparsed_.clear();
}

void ReplyCollector::ConnectionClosed() {
  reader_.OnClose();
}

bool ReplyCollector::Finished() const {
  const ReaderState state = reader_.State();
  return state == ReaderState::kComplete || state == ReaderState::kTruncated ||
         state == ReaderState::kFailed;
}

std::string ReplyCollector::Text(const CodePage& ansi, const CodePage& undeclared) const {
  if (reader_.HasHead()) {
    const std::optional<std::string> charset = CharsetOf(reader_.Head());
    return DecodeReplyBody(body_, charset, ansi, undeclared);
  }
  std::string_view text = unparsed_;
  if (const auto blank = text.find("\r\n\r\n"); blank != std::string_view::npos) {
    text.remove_prefix(blank + 4);
  }
  return undeclared.Decode(text);
}

std::string DecodeReplyBody(std::string_view body, std::optional<std::string_view> charset,
                            const CodePage& ansi, const CodePage& undeclared) {
  if (!charset) return undeclared.Decode(body);
  if (IsUtf8Name(*charset)) return ValidUtf8(body);
  if (IsLatin1Name(*charset)) return Latin1ToUtf8(body);
  return ansi.Decode(body);
}

}  // namespace veldrask
