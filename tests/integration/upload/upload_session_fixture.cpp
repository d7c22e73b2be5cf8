#include "integration/upload/upload_session_fixture.h"

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <stdexcept>

#include "support/files.h"
#include "upload/upload_window.h"

namespace veldrask::upload_test {

void WritePatternFile(const std::filesystem::path& path, std::uint64_t size) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  std::vector<std::uint64_t> words(1 << 17);
  for (std::uint64_t offset = 0; offset < size;) {
    const std::uint64_t first = offset / 8;
    for (std::size_t i = 0; i < words.size(); ++i) {
      words[i] = (first + i + 1) * 0x9E3779B97F4A7C15ull ^ 0xA5A5F00DCAFEull;
    }
    const std::uint64_t length = std::min<std::uint64_t>(words.size() * 8, size - offset);
    out.write(reinterpret_cast<const char*>(words.data()), static_cast<std::streamsize>(length));
    offset += length;
  }
  if (!out.flush()) throw std::runtime_error("cannot write " + path.string());
}

std::string Sha256OfFile(const std::filesystem::path& path) {
  const std::string command = "sha256sum '" + path.string() + "'";
  FILE* pipe = popen(command.c_str(), "r");
  if (pipe == nullptr) throw std::runtime_error("cannot run " + command);
  char digest[65] = {};
  const std::size_t read = std::fread(digest, 1, 64, pipe);
  pclose(pipe);
  if (read != 64) throw std::runtime_error(command + " gave no digest");
  return std::string(digest, 64);
}

void UploadSessionTest::Compose(const std::vector<std::filesystem::path>& paths,
                                const std::vector<PostData>& fields, std::string actionUrl) {
  std::vector<std::string> keys;
  for (const auto& path : paths) keys.push_back(path.string());
  const UploadSettings settings{.actionUrl = std::move(actionUrl),
                                .hostName = "127.0.0.1",
                                .cookie = "session=abc",
                                .boundary = std::string(kBoundary),
                                .filePrefix = "file",
                                .paddingZero = "0"};
  ComposeUploadRequest(settings, fields, keys, platform_.files, platform_.ansi, owner_.request);
}

SessionOutcome UploadSessionTest::Run(int port) {
  owner_.port = static_cast<std::int16_t>(port);
  const std::size_t messagesBefore = ui_.Messages().size();
  SessionOutcome outcome;
  {
    UploadWindow window(platform_, owner_, nullptr, nullptr, nullptr, platform_.ansi,
                        platform_.ansi);
    window.ShowModal();
    headless::HeadlessForm* form = ui_.FindForm("frmProcess");
    EXPECT_NE(form, nullptr);
    if (form != nullptr) {
      EXPECT_FALSE(form->IsOpen());
      auto& list = form->Get<headless::HeadlessListView>("UploadFileList");
      for (std::int32_t row = 1; row <= list.RowCount(); ++row) {
        outcome.statuses.push_back(list.SubItem(row, 2));
      }
    }
  }
  outcome.messages.assign(ui_.Messages().begin() + static_cast<std::ptrdiff_t>(messagesBefore),
                          ui_.Messages().end());
  return outcome;
}

std::string UploadSessionTest::ExpectedWire() {
  const CodePage& ansi = platform_.ansi;
  std::string wire = ansi.Encode(owner_.request.httpHeader) + ansi.Encode(owner_.request.formData);
  const auto& entries = owner_.request.attachedFiles;
  for (std::size_t k = 1; k < entries.size(); ++k) {
    wire += ansi.Encode(entries[k].header) + testing::ReadFile(entries[k].key);
    wire += PartTail(kBoundary, k + 1 == entries.size());
  }
  return wire;
}

}  // namespace veldrask::upload_test
