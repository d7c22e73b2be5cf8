// Reads the payload as one HTTP response, cut into arrivals by the input's split plan, then
// closes the connection; the same payload read in one arrival must give the same result.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "base/text.h"
#include "fuzz_check.h"
#include "http/header_values.h"
#include "http/response_reader.h"
#include "split_input.h"

namespace veldrask::fuzz {
namespace {

// Options: bit 7 a small head limit, bit 6 a sink that throws once the body passes a
// threshold; bits 0..5 size either.
constexpr std::uint8_t kSmallHeadLimit = 0x80;
constexpr std::uint8_t kThrowingSink = 0x40;

struct SinkStopped {};

bool Within(std::span<const std::byte> part, std::span<const std::byte> whole) {
  const auto start = reinterpret_cast<std::uintptr_t>(part.data());
  const auto wholeStart = reinterpret_cast<std::uintptr_t>(whole.data());
  return part.empty() || (start >= wholeStart && start + part.size() <= wholeStart + whole.size());
}

bool IsSpace(char c) {
  return c == ' ' || c == '\t';
}

bool IsFinal(ReaderState state) {
  return state == ReaderState::kComplete || state == ReaderState::kTruncated ||
         state == ReaderState::kFailed;
}

// Whether Feed may move the reader from before to after.
bool FeedMayMove(ReaderState before, ReaderState after) {
  if (IsFinal(before)) return after == before;
  if (after == ReaderState::kTruncated) return false;  // only a close truncates
  return before == ReaderState::kReadingHead || after != ReaderState::kReadingHead;
}

void CheckConsistent(const ResponseReader& reader, std::size_t headLimit) {
  const ReaderState state = reader.State();
  Check(reader.Complete() == (state == ReaderState::kComplete), "Complete() follows State()");
  Check((state == ReaderState::kFailed) == (reader.Error() != ResponseError::kNone),
        "an error exactly when failed");
  Check(!reader.ErrorText().empty(), "every error has a text");
  Check(reader.UnparsedHead().size() <= headLimit, "the head held stays within the limit");
  if (state == ReaderState::kComplete || state == ReaderState::kReadingBody) {
    Check(reader.HasHead(), "a body or a complete response only after a head");
  }
  if (!reader.HasHead()) {
    Check(reader.Head() == ResponseHead{}, "no head fields before the head");
    Check(reader.BodyReceived() == 0, "no body before the head");
    Check(!reader.ContentLength().has_value(), "no length before the head");
    return;
  }
  const ResponseHead& head = reader.Head();
  Check(head.protocol.starts_with("HTTP/"), "the head's protocol is HTTP");
  Check(!head.statusCode.empty(), "the head has a status code");
  Check(!head.IsInterim(), "an interim head is never the final one");
  for (const char c : head.statusCode) Check(!IsSpace(c), "the status code is one word");
  for (const HeaderField& field : head.fields) {
    Check(!field.name.empty(), "field names are not empty");
    Check(field.name.find_first_of(" \t\r\n:") == std::string::npos,
          "field names are one word before the colon");
    Check(field.value.find('\n') == std::string::npos, "field values hold no line end");
    Check(field.value.empty() || (!IsSpace(field.value.front()) && !IsSpace(field.value.back())),
          "field values are trimmed");
  }
  if (const std::optional<std::string> charset = CharsetOf(head)) {
    Check(!charset->empty(), "a charset is named when present");
  }
  Check(reader.ContentLength().has_value() == (reader.Framing() == BodyFraming::kContentLength),
        "a length exactly with Content-Length framing");
  if (const std::optional<std::uint64_t> length = reader.ContentLength()) {
    Check(reader.BodyReceived() <= *length, "no more body than announced");
    if (state == ReaderState::kComplete) {
      Check(reader.BodyReceived() == *length, "a complete body has the announced length");
    }
  }
  if (reader.Framing() == BodyFraming::kNoBody) {
    Check(reader.BodyReceived() == 0, "no body where none is allowed");
  }
}

struct Outcome {
  ReaderState state = ReaderState::kReadingHead;
  bool hasHead = false;
  ResponseHead head;
  BodyFraming framing = BodyFraming::kUntilClose;
  std::optional<std::uint64_t> contentLength;
  std::uint64_t bodyReceived = 0;
  ResponseError error = ResponseError::kNone;
  std::string unparsedHead;
  std::string body;
  std::string excess;

  bool operator==(const Outcome&) const = default;
};

class Run {
 public:
  Run(std::size_t headLimit, std::optional<std::uint64_t> throwAfter)
      : reader_(headLimit), headLimit_(headLimit), throwAfter_(throwAfter) {}

  void Feed(std::span<const std::byte> arrival) {
    const ReaderState before = reader_.State();
    const std::uint64_t receivedBefore = reader_.BodyReceived();
    std::uint64_t delivered = 0;
    const std::byte* nextByte = nullptr;
    const BodySink sink = [&](std::span<const std::byte> bytes) {
      Check(!bytes.empty(), "the sink gets no empty views");
      Check(Within(bytes, arrival), "body views lie in the arrival");
      Check(nextByte == nullptr || bytes.data() >= nextByte, "body views come in order");
      nextByte = bytes.data() + bytes.size();
      delivered += bytes.size();
      outcome_.body.append(AsText(bytes));
      if (throwAfter_ && outcome_.body.size() > *throwAfter_) throw SinkStopped{};
    };
    FeedResult result;
    try {
      result = reader_.Feed(arrival, sink);
    } catch (const SinkStopped&) {
      Check(throwAfter_.has_value(), "only the throwing sink throws");
      Check(reader_.State() == ReaderState::kFailed, "a throwing sink fails the reader");
      Check(reader_.Error() == ResponseError::kBodySinkFailed, "the failure names the sink");
      CheckConsistent(reader_, headLimit_);
      return;
    }
    const ReaderState after = reader_.State();
    Check(FeedMayMove(before, after), "Feed moves the state forward only");
    Check(result.bodyBytes == delivered, "bodyBytes counts what the sink got");
    Check(reader_.BodyReceived() == receivedBefore + delivered, "BodyReceived adds up");
    Check(result.bodyBytes + result.excess.size() <= arrival.size(),
          "body and excess fit in the arrival");
    Check(Within(result.excess, arrival), "the excess lies in the arrival");
    if (!result.excess.empty()) {
      Check(result.excess.data() + result.excess.size() == arrival.data() + arrival.size(),
            "the excess is the end of the arrival");
      Check(after == ReaderState::kComplete || after == ReaderState::kTruncated,
            "excess only after the response");
    }
    if (IsFinal(before)) {
      Check(delivered == 0, "no body after the response");
      Check(result.excess.size() == (before == ReaderState::kFailed ? 0 : arrival.size()),
            "after the end everything is excess, after a failure nothing");
    }
    if (delivered > 0) {
      Check(arrival.data() + arrival.size() - result.excess.size() >= nextByte,
            "the excess follows the body");
    }
    outcome_.excess.append(AsText(result.excess));
    CheckConsistent(reader_, headLimit_);
  }

  void Close() {
    const ReaderState before = reader_.State();
    const bool untilClose = reader_.HasHead() && reader_.Framing() == BodyFraming::kUntilClose;
    reader_.OnClose();
    const ReaderState after = reader_.State();
    if (IsFinal(before)) {
      Check(after == before, "a close changes no final state");
    } else if (before == ReaderState::kReadingBody && untilClose) {
      Check(after == ReaderState::kComplete, "a close ends a body that runs until the close");
    } else {
      Check(after == ReaderState::kTruncated, "a close truncates an unfinished response");
    }
    CheckConsistent(reader_, headLimit_);
  }

  Outcome Result() {
    outcome_.state = reader_.State();
    outcome_.hasHead = reader_.HasHead();
    outcome_.head = reader_.Head();
    outcome_.framing = reader_.Framing();
    outcome_.contentLength = reader_.ContentLength();
    outcome_.bodyReceived = reader_.BodyReceived();
    outcome_.error = reader_.Error();
    outcome_.unparsedHead = reader_.UnparsedHead();
    return outcome_;
  }

 private:
  ResponseReader reader_;
  std::size_t headLimit_;
  std::optional<std::uint64_t> throwAfter_;
  Outcome outcome_;
};

}  // namespace
}  // namespace veldrask::fuzz

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace veldrask;
  using namespace veldrask::fuzz;
  const SplitInput input = ReadSplitInput(data, size);
  const std::size_t sizeBits = input.options & 0x3F;
  const std::size_t headLimit =
      (input.options & kSmallHeadLimit) != 0 ? sizeBits * 4 + 1 : ResponseReader::kDefaultHeadLimit;
  std::optional<std::uint64_t> throwAfter;
  if ((input.options & kThrowingSink) != 0) throwAfter = sizeBits * 16;

  Run pieces(headLimit, throwAfter);
  for (const auto arrival : CutIntoArrivals(input.payload, input.lengths)) pieces.Feed(arrival);
  pieces.Close();
  const Outcome outcome = pieces.Result();
  if (throwAfter) return 0;  // where the sink stops depends on the cuts

  Run whole(headLimit, std::nullopt);
  whole.Feed(input.payload);
  whole.Close();
  Check(whole.Result() == outcome, "reading in pieces gives what reading at once gives");

  const std::string_view payload = AsText(input.payload);
  Check(outcome.body.size() + outcome.excess.size() <= payload.size(),
        "body and excess never exceed the input");
  Check(payload.ends_with(outcome.excess), "the excess is the end of the input");
  if (outcome.hasHead && (outcome.framing == BodyFraming::kContentLength ||
                          outcome.framing == BodyFraming::kUntilClose)) {
    Check(payload.ends_with(outcome.body + outcome.excess),
          "an unchunked body and the excess are the end of the input");
  }
  return 0;
}
