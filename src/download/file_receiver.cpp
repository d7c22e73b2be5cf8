#include "download/file_receiver.h"

#include <string>
#include <utility>

#include "base/checked.h"
#include "base/error.h"

namespace veldrask {
namespace {

constexpr std::string_view kSuccessCode = "200";

}  // namespace

std::string FileReceiver::OverTheLimit() {
  return "over " + std::to_string(kLargestBody) +
         " bytes, the largest size the control's 32-bit signed counts hold";
}

void FileReceiver::Read(std::span<const std::byte> arrival) {
  if (Ended()) return;
  try {
    reader_.Feed(arrival, [this](std::span<const std::byte> bytes) { WriteBody(bytes); });
    // A head whose body is empty or still to come reaches no sink.
    if (reader_.HasHead()) AcceptHead();
    Settle();
  } catch (const Error&) {
    Fail(Failure::kNotWritable);
  }
}

void FileReceiver::ConnectionClosed() {
  if (Ended()) return;
  try {
    reader_.OnClose();
    Settle();
    if (!Ended()) Fail(Failure::kCutShort);
  } catch (const Error&) {
    Fail(Failure::kNotWritable);
  }
}

void FileReceiver::Fail(Failure why, std::string detail) {
  if (Ended()) return;
  state_ = State::kFailed;
  failure_ = why;
  detail_ = std::move(detail);
  file_.Discard();
}

bool FileReceiver::AcceptHead() {
  if (decided_) return accepted_;
  decided_ = true;
  if (reader_.Head().statusCode != kSuccessCode) {
    state_ = State::kRefused;
    file_.Discard();
    return false;
  }
  const std::optional<std::uint64_t> length = reader_.ContentLength();
  if (length && *length > static_cast<std::uint64_t>(kLargestBody)) {
    Fail(Failure::kTooLarge, "Content-Length " + std::to_string(*length) + " is " + OverTheLimit());
    return false;
  }
  file_.Open();
  accepted_ = true;
  state_ = State::kReceiving;
  return true;
}

void FileReceiver::WriteBody(std::span<const std::byte> bytes) {
  if (!AcceptHead()) return;
  try {
    bodyWritten_ = CheckedAdd(bodyWritten_, CheckedNarrow<std::int32_t>(bytes.size()));
  } catch (const Error&) {
    // A body without a length (chunked, or up to the close) that runs past the limit.
    Fail(Failure::kTooLarge, "the body ran " + OverTheLimit());
    throw;  // stops the reader
  }
  file_.Write(bytes);
}

void FileReceiver::Settle() {
  if (Ended()) return;
  switch (reader_.State()) {
    case ReaderState::kComplete:
      if (!accepted_) AcceptHead();
      if (accepted_) {
        file_.Commit();
        state_ = State::kComplete;
      }
      break;
    case ReaderState::kTruncated:
      Fail(Failure::kCutShort);
      break;
    case ReaderState::kFailed:
      Fail(reader_.Error() == ResponseError::kBodySinkFailed ? Failure::kNotWritable
                                                             : Failure::kUnreadable);
      break;
    case ReaderState::kReadingHead:
    case ReaderState::kReadingBody:
      break;
  }
}

}  // namespace veldrask
