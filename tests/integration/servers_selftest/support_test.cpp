// The harness's own pieces: hashes, hex, JSON, deterministic content, files.
#include <gtest/gtest.h>

#include <filesystem>
#include <stdexcept>
#include <string>

#include "support/deterministic_bytes.h"
#include "support/files.h"
#include "support/hex.h"
#include "support/sha256.h"
#include "support/temp_dir.h"
#include "support/upload_report.h"

namespace veldrask::testing {
namespace {

TEST(HarnessSha256Test, MatchesKnownDigests) {
  EXPECT_EQ(Sha256Hex(""), "e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855");
  EXPECT_EQ(Sha256Hex("abc"), "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad");
  EXPECT_EQ(Sha256Hex("abcdbcdecdefdefgefghfghighijhijkijkljklmklmnlmnomnopnopq"),
            "248d6a61d20638b8e5c026930c3e6039a33ce45964ff2167f6ecedd419db06c1");
  Sha256 million;
  const std::string chunk(1000, 'a');
  for (int i = 0; i < 1000; ++i) million.Update(chunk);
  EXPECT_EQ(million.HexDigest(),
            "cdc76e5c9914fb9281a1c7e284d73e67f1809a48a497200e046d39ccc7112cd0");
}

TEST(HarnessHexTest, RoundTripsEveryByteAndRejectsBadText) {
  std::string all;
  for (int i = 0; i < 256; ++i) all.push_back(static_cast<char>(i));
  EXPECT_EQ(ToHex(std::string("\x00\x7f\x80\xff", 4)), "007f80ff");
  EXPECT_EQ(FromHex(ToHex(all)), all);
  EXPECT_EQ(FromHex("B0A1"), "\xB0\xA1");
  EXPECT_THROW(FromHex("abc"), std::invalid_argument);
  EXPECT_THROW(FromHex("zz"), std::invalid_argument);
}

TEST(HarnessHexTest, PercentEncodesAllButUnreservedAndSlash) {
  EXPECT_EQ(PercentEncodePath("/a-b_c.d~e/f g"), "/a-b_c.d~e/f%20g");
  EXPECT_EQ(PercentEncodePath("한"), "%ED%95%9C");
  EXPECT_EQ(PercentEncodePath("\xB0\xA1%?#"), "%B0%A1%25%3F%23");
}

TEST(HarnessUploadReportTest, ReadsNamesFromTheirHexBytes) {
  const UploadReport report = ParseUploadReport(R"({"server": "php", "method": "POST",
    "path": "/upload.php",
    "fields": [{"name": "t", "name_hex": "74", "value": "?", "value_hex": "b0a1"}],
    "files": [{"field": "f", "field_hex": "66", "filename": "x", "filename_hex": "b0a1",
               "full_path": "x", "full_path_hex": "2f612fb0a1", "content_type": "text/plain",
               "error": 0, "size": 3000000000, "sha256": "00", "stored": "x",
               "stored_hex": "b0a1"}]})");
  EXPECT_EQ(report.server, "php");
  ASSERT_NE(report.FindField("t"), nullptr);
  EXPECT_EQ(report.FindField("t")->value, "\xB0\xA1");
  EXPECT_EQ(report.FindField("f"), nullptr);
  const ReportedFile* file = report.FindFile("f");
  ASSERT_NE(file, nullptr);
  EXPECT_EQ(file->filename, "\xB0\xA1");
  EXPECT_EQ(file->full_path, "/a/\xB0\xA1");
  EXPECT_EQ(file->size, 3000000000u);
  EXPECT_THROW(ParseUploadReport(R"({"server": "x"})"), std::runtime_error);
  EXPECT_THROW(ParseUploadReport("not json"), std::runtime_error);
}

TEST(HarnessDeterministicContentTest, AnyRangeEqualsTheSameRangeOfTheWhole) {
  const DeterministicContent content("report.bin");
  const std::string whole = content.Bytes(0, 3 * DeterministicContent::kBlockSize + 100);
  for (std::uint64_t offset : {0u, 1u, 7u, 4095u, 4096u, 4097u, 8191u, 10000u}) {
    EXPECT_EQ(content.Bytes(offset, 200), whole.substr(offset, 200)) << offset;
  }
  EXPECT_EQ(DeterministicBytes("report.bin", 5, 10), whole.substr(5, 10));
}

TEST(HarnessDeterministicContentTest, DiffersByKeyByBlockAndByShift) {
  const std::string a = DeterministicBytes("a.bin", 0, 2 * DeterministicContent::kBlockSize);
  EXPECT_NE(a, DeterministicBytes("b.bin", 0, a.size()));
  EXPECT_NE(a.substr(0, 4096), a.substr(4096, 4096));
  EXPECT_NE(a.substr(0, 100), a.substr(1, 100));
  EXPECT_NE(a.substr(0, 100), a.substr(8, 100));
  // Pinned, so this generator and the servers' copy cannot drift apart unnoticed.
  EXPECT_EQ(ToHex(DeterministicBytes("a.bin", 0, 8)), "942e20c7236a85e4");
  EXPECT_EQ(ToHex(DeterministicBytes("a.bin", 4090, 12)), "7a3e25e09efa32e87a21b33a");
}

TEST(HarnessTempDirTest, CreatesAFreshDirectoryAndRemovesItWithItsContent) {
  std::filesystem::path kept;
  {
    TempDir first;
    TempDir second;
    kept = first.path();
    EXPECT_TRUE(std::filesystem::is_directory(kept));
    EXPECT_NE(first.path(), second.path());
    std::filesystem::create_directory(first / "sub");
    WriteFile(first / "sub/\xB0\xA1.txt", "x");
    EXPECT_EQ(ReadFile(first / "sub/\xB0\xA1.txt"), "x");
  }
  EXPECT_FALSE(std::filesystem::exists(kept));
}

TEST(HarnessFilesTest, DeterministicFileHasTheGeneratorsBytesAndDigest) {
  TempDir dir;
  const std::uint64_t size = (1 << 20) + 123;  // crosses the writer's block size
  const std::string digest = WriteDeterministicFile(dir / "자료.bin", size);
  const std::string content = ReadFile(dir / "자료.bin");
  EXPECT_EQ(content, DeterministicBytes("자료.bin", 0, size));
  EXPECT_EQ(digest, Sha256Hex(content));
  EXPECT_EQ(FileSha256(dir / "자료.bin"), digest);
  EXPECT_EQ(WriteDeterministicFile(dir / "other.bin", 10, "자료.bin"),
            Sha256Hex(content.substr(0, 10)));
  EXPECT_THROW(ReadFile(dir / "missing"), std::runtime_error);
}

}  // namespace
}  // namespace veldrask::testing
