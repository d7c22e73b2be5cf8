// Two modes, chosen by bit 7 of the options byte:
// - decode: the payload is read as a chunked body, cut into arrivals by the split plan; the
//   same payload in one arrival must decode the same.
// - encode: the payload is a body, encoded in chunks whose sizes and line forms the input
//   chooses, then decoded in arrivals; the decoder must give back exactly the body.

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "base/text.h"
#include "fuzz_check.h"
#include "http/chunked_decoder.h"
#include "split_input.h"

namespace veldrask::fuzz {
namespace {

constexpr std::uint8_t kEncodeMode = 0x80;
// Options of the encode mode.
constexpr std::uint8_t kBareLf = 0x01;
constexpr std::uint8_t kUpperCaseHex = 0x02;
constexpr std::uint8_t kExtensions = 0x04;
constexpr std::uint8_t kTrailers = 0x08;
constexpr std::uint8_t kLeadingZeros = 0x10;
constexpr std::uint8_t kWhitespaceAfterSize = 0x20;

constexpr std::string_view kAfterBody = "HTTP/1.1 200 OK\r\n";

bool Within(std::span<const std::byte> part, std::span<const std::byte> whole) {
  const auto start = reinterpret_cast<std::uintptr_t>(part.data());
  const auto wholeStart = reinterpret_cast<std::uintptr_t>(whole.data());
  return start >= wholeStart && start + part.size() <= wholeStart + whole.size();
}

struct Outcome {
  bool done = false;
  bool failed = false;
  ResponseError error = ResponseError::kNone;
  std::size_t used = 0;
  std::string body;

  bool operator==(const Outcome&) const = default;
};

Outcome Decode(const std::vector<std::span<const std::byte>>& arrivals) {
  ChunkedDecoder decoder;
  Outcome outcome;
  for (const auto arrival : arrivals) {
    const bool endedBefore = decoder.Done() || decoder.Failed();
    std::size_t delivered = 0;
    const std::size_t used = decoder.Decode(arrival, [&](std::span<const std::byte> bytes) {
      Check(!bytes.empty(), "the sink gets no empty views");
      Check(Within(bytes, arrival), "chunk data lies in the arrival");
      delivered += bytes.size();
      outcome.body.append(AsText(bytes));
    });
    Check(used <= arrival.size(), "no more used than given");
    Check(delivered <= used, "no more data than bytes used");
    Check(!(decoder.Done() && decoder.Failed()), "not both done and failed");
    Check(decoder.Failed() == (decoder.Error() != ResponseError::kNone),
          "an error exactly when failed");
    if (endedBefore) Check(used == 0, "nothing is used after the end");
    if (used < arrival.size()) Check(decoder.Done() || decoder.Failed(), "stops only at the end");
    outcome.used += used;
  }
  outcome.done = decoder.Done();
  outcome.failed = decoder.Failed();
  outcome.error = decoder.Error();
  return outcome;
}

void CheckDecode(const SplitInput& input) {
  const Outcome pieces = Decode(CutIntoArrivals(input.payload, input.lengths));
  const Outcome whole = Decode({input.payload});
  Check(pieces == whole, "decoding in pieces gives what decoding at once gives");
  Check(whole.body.size() < whole.used || whole.used == 0, "chunk data comes with size lines");
}

std::string Hex(std::size_t value, bool upperCase) {
  const char* digits = upperCase ? "0123456789ABCDEF" : "0123456789abcdef";
  std::string text;
  do {
    text.insert(text.begin(), digits[value % 16]);
    value /= 16;
  } while (value != 0);
  return text;
}

// A chunked encoding of body with chunk sizes taken in turn from sizes (0 taken as 1).
std::string Encode(std::string_view body, const std::vector<std::size_t>& sizes,
                   std::uint8_t options) {
  const std::string lineEnd = (options & kBareLf) != 0 ? "\n" : "\r\n";
  const bool upperCase = (options & kUpperCaseHex) != 0;
  const auto sizeLine = [&](std::size_t size) {
    std::string line = (options & kLeadingZeros) != 0 ? "000" : "";
    line += Hex(size, upperCase);
    if ((options & kWhitespaceAfterSize) != 0) line += " \t";
    if ((options & kExtensions) != 0) line += ";name=\"va;lue\";flag";
    return line + lineEnd;
  };
  std::string encoded;
  std::size_t next = 0;
  while (!body.empty()) {
    std::size_t size = sizes.empty() ? body.size() : std::max<std::size_t>(sizes[next], 1);
    if (!sizes.empty()) next = (next + 1) % sizes.size();
    size = std::min(size, body.size());
    encoded += sizeLine(size);
    encoded += body.substr(0, size);
    encoded += lineEnd;
    body.remove_prefix(size);
  }
  encoded += sizeLine(0);
  if ((options & kTrailers) != 0) encoded += "Expires: 0" + lineEnd + "X-Empty:" + lineEnd;
  return encoded + lineEnd;
}

void CheckEncode(const SplitInput& input) {
  const std::string_view body = AsText(input.payload);
  const std::string encoded = Encode(body, input.lengths, input.options);
  const std::string stream = encoded + std::string(kAfterBody);
  // Cut with the lengths in the other order, so that cuts and chunks fall differently.
  const std::vector<std::size_t> cuts(input.lengths.rbegin(), input.lengths.rend());
  const Outcome outcome = Decode(CutIntoArrivals(AsBytes(stream), cuts));
  Check(outcome.done && !outcome.failed, "a well-formed chunked body decodes");
  Check(outcome.body == body, "the decoded body is the encoded one");
  Check(outcome.used == encoded.size(), "decoding stops at the end of the body");
}

}  // namespace
}  // namespace veldrask::fuzz

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace veldrask::fuzz;
  const SplitInput input = ReadSplitInput(data, size);
  if ((input.options & kEncodeMode) != 0) {
    CheckEncode(input);
  } else {
    CheckDecode(input);
  }
  return 0;
}
