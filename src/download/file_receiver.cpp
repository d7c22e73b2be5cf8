#include "download/file_receiver.h"

#include "base/checked.h"
#include "base/error.h"

namespace veldrask {
namespace {

constexpr std::string_view kSuccessCode = "200";

}  // namespace

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

void FileReceiver::Fail(Failure why) {
  if (Ended()) return;
  state_ = State::kFailed;
  failure_ = why;
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
  file_.Open();
  accepted_ = true;
  state_ = State::kReceiving;
  return true;
}

void FileReceiver::WriteBody(std::span<const std::byte> bytes) {
  if (!AcceptHead()) return;
  bodyWritten_ = CheckedAdd(bodyWritten_, CheckedNarrow<std::int32_t>(bytes.size()));
  file_.Write(bytes);
}

void FileReceiver::Settle() {
  if (state_ == State::kRefused) return;
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
