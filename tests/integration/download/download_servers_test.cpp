// Whole sessions against real servers: every file arrives byte for byte.

#include <gtest/gtest.h>

#include <random>

#include "download_server_fixture.h"
#include "support/files.h"
#include "support/servers.h"

namespace veldrask::testing {
namespace {

struct ServedFile {
  std::string name;       // UTF-8, as the downloaded file is named
  std::string nameBytes;  // as the server stores it
  std::uint64_t size = 0;
  std::string sha256;
};

// Files of sizes that cover the edges of reads and blocks, then random ones from a fixed seed.
std::vector<ServedFile> MakeFiles(const std::filesystem::path& store, const CodePage* korean) {
  std::vector<std::uint64_t> sizes = {0, 1, 4095, 4096, 65537, 3'000'000};
  std::mt19937 random(20240611);
  std::uniform_int_distribution<std::uint64_t> anySize(2, 1'500'000);
  while (sizes.size() < 20) sizes.push_back(anySize(random));
  std::vector<ServedFile> files;
  for (std::size_t i = 0; i < sizes.size(); ++i) {
    ServedFile file;
    file.name = (korean != nullptr && i % 3 == 0 ? "자료 " : "file-") + std::to_string(i) +
                (i % 4 == 1 ? "" : ".bin");
    file.nameBytes = korean != nullptr ? korean->Encode(file.name) : file.name;
    file.size = sizes[i];
    file.sha256 = WriteDeterministicFile(store / file.nameBytes, file.size);
    files.push_back(std::move(file));
  }
  return files;
}

class DownloadFromServers : public DownloadServerTest {
 protected:
  void ExpectAllArrived(const std::vector<ServedFile>& files) {
    EXPECT_TRUE(Messages().empty()) << Messages()[0].text;
    std::vector<std::string> expected;
    for (std::size_t i = 0; i < files.size(); ++i) {
      const ServedFile& file = files[i];
      expected.push_back(file.name);
      EXPECT_EQ(Status(static_cast<std::int32_t>(i + 1)), "완료") << file.name;
      ASSERT_TRUE(std::filesystem::exists(Folder() / file.name)) << file.name;
      EXPECT_EQ(std::filesystem::file_size(Folder() / file.name), file.size) << file.name;
      EXPECT_EQ(FileSha256(Folder() / file.name), file.sha256) << file.name;
    }
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(FolderNames(), expected);
  }

  TempDir store_;
};

TEST_F(DownloadFromServers, PhpServerFilesWithKoreanNamesArriveWhole) {
  const std::vector<ServedFile> files = MakeFiles(store_.path(), &base.ansi);
  const auto server = StartPhpServer(store_.path());
  Use(*server);
  for (const ServedFile& file : files) {
    owner.Add(TargetFor(file.nameBytes), file.name, static_cast<std::int32_t>(file.size));
  }

  const headless::HeadlessForm& form = Run();

  EXPECT_FALSE(form.IsOpen());
  ExpectAllArrived(files);
}

TEST_F(DownloadFromServers, StaticServerFilesArriveWhole) {
  const std::vector<ServedFile> files = MakeFiles(store_.path(), nullptr);
  // The standard library's static file server, answering HTTP/1.0 and closing after each file.
  ServerCommand command;
  command.argv = {
      "python3", "-c",
      "import functools, http.server, sys\n"
      "sys.path.insert(0, sys.argv[2])\n"
      "import common\n"
      "handler = functools.partial(http.server.SimpleHTTPRequestHandler,\n"
      "                            directory=sys.argv[1])\n"
      "server = common.bind_on_free_port(\n"
      "    lambda port: http.server.ThreadingHTTPServer((common.HOST, port), handler))\n"
      "common.announce_port(server.server_address[1])\n"
      "server.serve_forever()\n",
      store_.path().string(), (ServersDir() / "python").string()};
  command.env = {"PYTHONDONTWRITEBYTECODE=1"};
  const ServerProcess server(std::move(command));
  Use(server);
  for (const ServedFile& file : files) {
    owner.Add(TargetFor(file.nameBytes), file.name, static_cast<std::int32_t>(file.size));
  }

  Run();

  ExpectAllArrived(files);
}

}  // namespace
}  // namespace veldrask::testing
