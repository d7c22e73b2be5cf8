#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "http/response_error.h"

namespace veldrask {

struct HeaderField {
  std::string name;
  std::string value;  // without surrounding whitespace; folded lines joined by one space

  bool operator==(const HeaderField&) const = default;
};

// The status line and header fields of a response. The texts are the head's bytes as they
// came (ASCII in practice), not converted to UTF-8.
struct ResponseHead {
  std::string protocol;             // "HTTP/1.1"
  std::string statusCode;           // the second field of the status line, no whitespace in it
  std::string reason;               // the rest of the status line, trimmed; may be empty
  std::vector<HeaderField> fields;  // in the order received

  // The value of the first field called name, in any letter case.
  std::optional<std::string_view> Find(std::string_view name) const;
  // The values of every field called name, in the order received.
  std::vector<std::string_view> FindAll(std::string_view name) const;
  // The status code as a number when it is three digits.
  std::optional<int> StatusNumber() const;
  // A 1xx response, which a final response follows.
  bool IsInterim() const;

  bool operator==(const ResponseHead&) const = default;
};

struct ParsedHead {
  ResponseHead head;
  ResponseError error = ResponseError::kNone;
};

// Parses a head from its status line up to its first empty line (or the end of text). A line
// ends at LF; a CR just before the LF is not part of it. The status line must start with
// "HTTP/" and have a status code; a header line needs a name without whitespace followed by
// ":"; a line starting with whitespace continues the previous field's value.
ParsedHead ParseResponseHead(std::string_view text);

// The head as lines that ParseResponseHead reads back to the same head: the status line, a
// "Name: value" line a field, and the empty line, each ending in LF.
std::string ResponseHeadText(const ResponseHead& head);

}  // namespace veldrask
