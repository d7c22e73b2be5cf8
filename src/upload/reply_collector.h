#pragma once

#include <cstddef>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <utility>

#include "http/response_reader.h"
#include "platform/code_page.h"

namespace veldrask {

// Gathers the server's reply to an upload as it arrives and gives its body as the text the
// page receives.
class ReplyCollector {
 public:
  void Add(std::span<const std::byte> arrival);
  // The server closed the connection; a body that runs until the close ends here.
  void ConnectionClosed();

  // Nothing more belongs to the reply: it ended as framed, the connection closed, or it
  // cannot be read as HTTP.
  bool Finished() const;
  // The reply ended as its framing says.
  bool Complete() const { return reader_.Complete(); }
  // The final head, once it has been read.
  bool HasHead() const { return reader_.HasHead(); }
  const ResponseHead& Head() const { return reader_.Head(); }
  // Also hands every body byte to tap as it arrives, undecoded (empty: none).
  void SetBodyTap(BodySink tap) { tap_ = std::move(tap); }

  // The body as UTF-8, chunked framing undone, decoded from the charset the reply declares,
  // or from undeclared when it declares none (the code page the request went out in). A reply
  // whose head never ended or never parsed gives its text after the first blank line, or all
  // of it when it has none, in undeclared.
  std::string Text(const CodePage& ansi, const CodePage& undeclared) const;

 private:
  ResponseReader reader_;
  BodySink tap_;
  std::string body_;
  // What arrived while no head has been parsed, for a reply that is not HTTP; a server
  // streaming such bytes cannot make it grow past kUnparsedLimit.
  static constexpr std::size_t kUnparsedLimit = std::size_t{1} << 20;
  std::string unparsed_;
};

// body (in the named charset) as UTF-8: UTF-8 stays as it is with invalid bytes replaced,
// ISO-8859-1 maps byte for byte, any other charset is read as the ANSI code page (the Korean
// names EUC-KR, CP949 and KS_C_5601-1987 among them), and none as undeclared.
std::string DecodeReplyBody(std::string_view body, std::optional<std::string_view> charset,
                            const CodePage& ansi, const CodePage& undeclared);

}  // namespace veldrask
