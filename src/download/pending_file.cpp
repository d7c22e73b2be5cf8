#include "download/pending_file.h"

#include "base/error.h"
#include "base/text.h"
#include "common/path_names.h"

namespace veldrask {
namespace {

constexpr std::string_view kTemporaryPrefix = "VELDRASKUPDN.part.";
// Names tried before giving up; each one taken means a leftover or a concurrent session.
constexpr int kTemporaryNameAttempts = 1000;
// A temporary file not written for this long is abandoned even when it looks held.
constexpr std::int64_t kStaleSeconds = 24 * 60 * 60;

void DeleteQuietly(FileSystem& files, const std::string& path) {
  if (path.empty()) return;
  try {
    files.Delete(path);
  } catch (const Error&) {
    // Already gone or not removable: nothing more can be done about it here.
  }
}

}  // namespace

PendingFile::PendingFile(FileSystem& files, std::string folder, Claim claim)
    : files_(files), folder_(std::move(folder)), claim_(std::move(claim)) {}

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
      if (!error.Is(ErrorNumber::kFileAlreadyExists)) throw;
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
  claim_(temporaryPath_);
  finished_ = true;
}

void PendingFile::Discard() {
  if (finished_) return;
  finished_ = true;
  output_.reset();
  DeleteQuietly(files_, temporaryPath_);
}

void RemoveStaleTemporaries(FileSystem& files, const std::string& folder) {
  try {
    for (const FolderFile& file : files.ListFiles(folder, kTemporaryPrefix)) {
      if (file.inUse && file.secondsSinceWrite < kStaleSeconds) continue;
      DeleteQuietly(files, JoinPath(folder, file.name, files.Separator()));
    }
  } catch (const Error&) {
    // An unreadable folder keeps its leftovers; the download itself reports what fails there.
  }
}

}  // namespace veldrask
