#include "posix/reg_file_format.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/registry.h"

namespace veldrask::posix {

void PrintTo(const RegValue& value, std::ostream* out) {
  *out << "{\"" << value.name << "\", type " << value.type << ", " << value.data.size()
       << " bytes}";
}

namespace {

using namespace std::string_view_literals;

std::vector<std::byte> Bytes(std::string_view text) {
  std::vector<std::byte> bytes;
  for (char c : text) bytes.push_back(static_cast<std::byte>(c));
  return bytes;
}

RegValue Value(std::string name, std::uint32_t type, std::string_view data) {
  return RegValue{std::move(name), type, Bytes(data)};
}

TEST(RegTree, NamesIgnoreAsciiCaseButNotDoubleByteTrailBytes) {
  EXPECT_EQ(FoldRegistryName("Software\\ABC"), "software\\abc");
  // 0x81 0x41 and 0x81 0x61 are two different CP949 characters.
  EXPECT_EQ(FoldRegistryName("\x81\x41Z"), "\x81\x41z");
  EXPECT_NE(FoldRegistryName("\x81\x41"), FoldRegistryName("\x81\x61"));
  EXPECT_EQ(NormalizeKeyPath("\\Software\\\\Key\\"), "Software\\Key");
  EXPECT_EQ(JoinKeyPath("", "A\\B"), "A\\B");
  EXPECT_EQ(JoinKeyPath("A", ""), "A");

  RegTree tree;
  tree.CreateKey("Software\\Maker\\Product");
  EXPECT_TRUE(tree.HasKey("SOFTWARE"));
  EXPECT_TRUE(tree.HasKey("software\\maker"));
  EXPECT_TRUE(tree.HasSubkeys("Software\\Maker"));
  EXPECT_FALSE(tree.HasSubkeys("Software\\Maker\\Product"));
  EXPECT_FALSE(tree.DeleteKey("Software\\Maker"));
  EXPECT_FALSE(tree.DeleteKey(""));

  ASSERT_TRUE(tree.SetValue("software\\MAKER", Value("Path", 1, "a\0"sv)));
  ASSERT_TRUE(tree.SetValue("Software\\Maker", Value("PATH", 1, "b\0"sv)));
  const RegValue* value = tree.FindValue("Software\\Maker", "path");
  ASSERT_NE(value, nullptr);
  EXPECT_EQ(value->name, "Path");  // the first spelling stays
  EXPECT_EQ(value->data, Bytes("b\0"sv));
  EXPECT_FALSE(tree.SetValue("Software\\Missing", Value("x", 1, ""sv)));
  EXPECT_TRUE(tree.DeleteValue("Software\\Maker", "pAtH"));
  EXPECT_FALSE(tree.DeleteValue("Software\\Maker", "Path"));
}

TEST(RegFileFormat, WritesWhatTheRegistryEditorReads) {
  RegTree tree;
  tree.CreateKey("Software\\Maker");
  tree.SetValue("Software\\Maker", Value("", 1, "default\0"sv));
  tree.SetValue("Software\\Maker", Value("Folder", 1, "C:\\Data \"x\"\0"sv));
  tree.SetValue("Software\\Maker", Value("Count", 4, "\x0a\x00\x00\x00"sv));
  tree.SetValue("Software\\Maker", Value("Path", 2, "%\0"sv));
  tree.SetValue("Software\\Maker", Value("Raw", 3, "\x01\xff"sv));
  tree.SetValue("Software\\Maker", Value("NoNul", 1, "ab"sv));
  tree.CreateKey("Software\\Empty");

  EXPECT_EQ(FormatRegFile(tree, "HKEY_LOCAL_MACHINE"),
            "REGEDIT4\r\n\r\n"
            "[HKEY_LOCAL_MACHINE\\Software\\Empty]\r\n\r\n"
            "[HKEY_LOCAL_MACHINE\\Software\\Maker]\r\n"
            "@=\"default\"\r\n"
            "\"Folder\"=\"C:\\\\Data \\\"x\\\"\"\r\n"
            "\"Count\"=dword:0000000a\r\n"
            "\"Path\"=hex(2):25,00\r\n"
            "\"Raw\"=hex:01,ff\r\n"
            "\"NoNul\"=hex(1):61,62\r\n"
            "\r\n");
}

TEST(RegFileFormat, ReadsExportsWithContinuationsCommentsAndOtherHives) {
  const std::string text =
      "REGEDIT4\n\n"
      "; exported by hand\n"
      "[HKEY_LOCAL_MACHINE\\Software\\Maker]\n"
      "@=\"top\"\n"
      "\"Big\"=hex:00,01,02,\\\n"
      "  03,04\n"
      "\"Kor\"=\"\xB0\xA1\"\n"
      "\"Number\"=dword:ffffffff\n"
      "\"Removed\"=-\n"
      "\n"
      "[HKEY_CURRENT_USER\\Software\\Other]\n"
      "\"Foreign\"=\"no\"\n"
      "[-HKEY_LOCAL_MACHINE\\Software\\Gone]\n"
      "\"AlsoForeign\"=\"no\"\n";
  const RegTree tree = ParseRegFile(text, "hkey_local_machine");
  EXPECT_TRUE(tree.HasKey("Software\\Maker"));
  EXPECT_FALSE(tree.HasKey("Software\\Other"));
  EXPECT_FALSE(tree.HasKey("Software\\Gone"));
  EXPECT_EQ(tree.Keys().at("software\\maker").values.size(), 4u);
  EXPECT_EQ(*tree.FindValue("Software\\Maker", ""), Value("", 1, "top\0"sv));
  EXPECT_EQ(*tree.FindValue("Software\\Maker", "big"), Value("Big", 3, "\x00\x01\x02\x03\x04"sv));
  EXPECT_EQ(tree.FindValue("Software\\Maker", "Big")->data.size(), 5u);
  EXPECT_EQ(*tree.FindValue("Software\\Maker", "Kor"), Value("Kor", 1, "\xB0\xA1\0"sv));
  EXPECT_EQ(*tree.FindValue("Software\\Maker", "Number"), Value("Number", 4, "\xff\xff\xff\xff"sv));
  EXPECT_EQ(tree.FindValue("Software\\Maker", "Removed"), nullptr);
}

TEST(RegFileFormat, LinesThatCannotBeReadAreCounted) {
  const std::string key = "[HKEY_LOCAL_MACHINE\\K]\n";
  const struct {
    std::string text;
    std::size_t unread;
  } cases[] = {
      {"REGEDIT4\n\n; comment\n" + key + "\"a\"=\"1\"\n\n", 0},
      {key + "\"a\"=\"1\"\n\"b\"=hex:0\n\"c\"=dword:xyz\n", 2},
      {"\"before any section\"=\"1\"\n" + key, 1},
      {"[HKEY_LOCAL_MACHINE\\Broken\n\"a\"=\"1\"\n" + key + "\"b\"=\"2\"\n", 2},
      {"[HKEY_CURRENT_USER\\Other]\n\"a\"=\"1\"\n[-HKEY_LOCAL_MACHINE\\Gone]\n", 3},
      {std::string(200, '\xff'), 1},
  };
  for (const auto& c : cases) {
    std::size_t unread = 99;
    ParseRegFile(c.text, "HKEY_LOCAL_MACHINE", &unread);
    EXPECT_EQ(unread, c.unread) << c.text;
  }
}

TEST(RegFileFormat, EveryTypeAndByteSurvivesARoundTrip) {
  std::string everyByte;
  for (int i = 0; i < 256; ++i) everyByte += static_cast<char>(i);
  const std::vector<RegValue> values = {
      Value("text", 1, "\xC7\xD1\xB1\xDB \\ \" end\0"sv),
      Value("empty", 1, "\0"sv),
      Value("nothing", 1, ""sv),
      Value("no nul", 1, "abc"sv),
      Value("two nuls", 1, "a\0\0"sv),
      Value("inner nul", 1, "a\0b\0"sv),
      Value("line break", 1, "a\r\nb\0"sv),
      Value("every byte", 3, everyByte),
      Value("expand", 2, "%TEMP%\0"sv),
      Value("multi", 7, "a\0b\0\0"sv),
      Value("short dword", 4, "\x01\x02"sv),
      Value("none", 0, ""sv),
      Value("odd type", 0x20000, "\x7f"sv),
      Value("quoted \"\\ name", 1, "v\0"sv),
  };
  RegTree tree;
  tree.CreateKey("Key \xB0\xA1");
  for (const RegValue& value : values) tree.SetValue("Key \xB0\xA1", value);

  const std::string text = FormatRegFile(tree, "HKEY_CURRENT_USER");
  for (const std::string& line : std::vector<std::string>{"\"text\"=\"", "\"empty\"=\"\""}) {
    EXPECT_NE(text.find(line), std::string::npos) << line;
  }
  for (std::size_t start = 0, end = 0; end != std::string::npos; start = end + 2) {
    end = text.find("\r\n", start);
    EXPECT_LE((end == std::string::npos ? text.size() : end) - start, 80u) << "long line";
  }
  const RegTree parsed = ParseRegFile(text, "HKEY_CURRENT_USER");
  for (const RegValue& value : values) {
    const RegValue* read = parsed.FindValue("key \xB0\xA1", value.name);
    ASSERT_NE(read, nullptr) << value.name;
    EXPECT_EQ(*read, value) << value.name;
  }
  EXPECT_EQ(FormatRegFile(parsed, "HKEY_CURRENT_USER"), text);
}

TEST(RegFileFormat, DamagedLinesReadAsAbsentAndTheRestSurvives) {
  const std::string text =
      "REGEDIT4\r\n\r\n"
      "[HKEY_LOCAL_MACHINE\\A]\r\n"
      "\"good\"=\"1\"\r\n"
      "\"open quote\"=\"abc\r\n"
      "\"bad escape\"=\"a\\nb\"\r\n"
      "\"short dword\"=dword:0000000\r\n"
      "\"bad hex\"=hex:0g,01\r\n"
      "\"trailing comma\"=hex:01,02,\r\n"
      "\"cut continuation\"=hex:01,02,\\\r\n"
      "\"after\"=\"2\"\r\n"
      "garbage \x01\x02\xff line\r\n"
      "[HKEY_LOCAL_MACHINE\\B\r\n"
      "\"in broken section\"=\"x\"\r\n"
      "[HKEY_LOCAL_MACHINE\\C]\r\n"
      "\"last\"=hex:01,0";
  const RegTree tree = ParseRegFile(text, "HKEY_LOCAL_MACHINE");
  ASSERT_TRUE(tree.HasKey("A"));
  EXPECT_EQ(tree.Keys().at("a").values.size(), 2u);
  EXPECT_NE(tree.FindValue("A", "good"), nullptr);
  EXPECT_NE(tree.FindValue("A", "after"), nullptr);
  EXPECT_FALSE(tree.HasKey("B"));
  EXPECT_TRUE(tree.HasKey("C"));
  EXPECT_EQ(tree.FindValue("C", "last"), nullptr);
  EXPECT_EQ(ParseRegFile(std::string(200, '\xff'), "HKEY_LOCAL_MACHINE").Keys().size(), 1u);
  EXPECT_EQ(ParseRegFile("", "HKEY_LOCAL_MACHINE").Keys().size(), 1u);
}

TEST(RegFileFormat, NamesWithLineBreaksOrNulCannotBeStored) {
  EXPECT_TRUE(IsStorableName("a \"b\" \\ \xB0\xA1"));
  EXPECT_FALSE(IsStorableName("a\nb"));
  EXPECT_FALSE(IsStorableName("a\rb"));
  EXPECT_FALSE(IsStorableName(std::string_view("a\0b", 3)));
}

}  // namespace
}  // namespace veldrask::posix
