#include "download/pending_file.h"

#include "base/error.h"
#include "base/text.h"
#include "common/path_names.h"

namespace veldrask {
namespace {

constexpr std::string_view kTemporaryPrefix = "VELDRASKUPDN.part.";
// Names tried before giving up; each one taken means a leftover or a concurrent session.
constexpr int kTemporaryNameAttempts = 1000;

void DeleteQuietly(FileSystem& files, const std::string& path) {
  if (path.empty()) return;
  try {
    files.Delete(path);
  } catch (const Error&) {
    // Already gone or not removable: nothing more can be done about it here.
  }
}

}  // namespace

PendingFile::PendingFile(FileSystem& files, std::string folder, std::string targetPath,
                         std::string placeholderPath)
    : files_(files),
      folder_(std::move(folder)),
      targetPath_(std::move(targetPath)),
      placeholderPath_(std::move(placeholderPath)) {}

PendingFile::~PendingFile() {
  Discard();
}

void PendingFile::Open() {
  for (int attempt = 1; attempt <= kTemporaryNameAttempts; ++attempt) {
    const std::string path =
        JoinPath(folder_, std::string(kTemporaryPrefix) + ToDecimal(attempt), files_.Separator());
    try {
      output_ = files_.CreateExclusive(path);
      temporaryPath_ = path;
      return;
    } catch (const Error& error) {
      if (error.Number() != static_cast<std::int32_t>(ErrorNumber::kFileAlreadyExists)) throw;
    }
  }
  throw Error(ErrorNumber::kFileAlreadyExists);
}

void PendingFile::Write(std::span<const std::byte> bytes) {
  output_->Write(bytes);
}

void PendingFile::Commit() {
  std::unique_ptr<OutputFile> output = std::move(output_);
  output->Close();
  files_.Rename(temporaryPath_, targetPath_);
  finished_ = true;
}

void PendingFile::Discard() {
  if (finished_) return;
  finished_ = true;
  output_.reset();
  DeleteQuietly(files_, temporaryPath_);
  DeleteQuietly(files_, placeholderPath_);
}

}  // namespace veldrask
