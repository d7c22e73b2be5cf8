#include "posix/reg_file_registry.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sched.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>
#include <string>
#include <utility>
#include <vector>

#include "platform/tcp_socket.h"  // AsBytes
#include "posix/reg_file_format.h"
#include "posix_sys_support.h"

namespace veldrask::posix {
namespace {

using namespace std::string_view_literals;
using testing::TempFolder;

const RegistryKey kMachine = HiveKey(kLocalMachine);
const RegistryKey kUser = HiveKey(kCurrentUser);

std::span<const std::byte> Data(std::string_view bytes) {
  return AsBytes(bytes);
}

struct ReadValue {
  std::int32_t status = -1;
  std::uint32_t type = 0;
  std::string bytes;
};

ReadValue Query(Registry& registry, RegistryKey key, std::string_view name) {
  ReadValue read;
  std::uint32_t size = 0;
  read.status = registry.QueryValue(key, name, read.type, size, nullptr);
  if (read.status != registry_status::kSuccess) return read;
  std::vector<std::byte> buffer(size);
  read.status = registry.QueryValue(key, name, read.type, size, buffer.data());
  read.bytes.assign(reinterpret_cast<const char*>(buffer.data()), size);
  return read;
}

// Opens a key path under HKEY_LOCAL_MACHINE, reads one value and closes the key again.
ReadValue QueryPath(Registry& registry, std::string_view path, std::string_view name) {
  RegistryKey key = kNullKey;
  if (const std::int32_t status = registry.OpenKey(kMachine, path, key); status != 0) {
    return ReadValue{status, 0, ""};
  }
  ReadValue read = Query(registry, key, name);
  registry.CloseKey(key);
  return read;
}

class RegFileRegistryTest : public ::testing::Test {
 protected:
  std::string HiveFile() const { return folder_ / "HKEY_LOCAL_MACHINE.reg"; }

  TempFolder folder_;
  RegFileRegistry registry_{folder_.Path()};
};

TEST_F(RegFileRegistryTest, ValuesOfEveryKindReadBackWithTheirTypesInAnotherInstance) {
  RegistryKey key = kNullKey;
  ASSERT_EQ(registry_.CreateKey(kMachine, "Software\\Maker\\Uploader\\Settings", key), 0);
  EXPECT_NE(key, kNullKey);
  EXPECT_EQ(registry_.SetValue(key, "Folder", 1, Data("C:\\Data\\\"x\"\0"sv)), 0);
  EXPECT_EQ(registry_.SetValue(key, "Korean", 1, Data("\xB0\xA1\xB3\xAA\0"sv)), 0);
  EXPECT_EQ(registry_.SetValue(key, "Empty", 1, Data("\0"sv)), 0);
  EXPECT_EQ(registry_.SetValue(key, "NoNul", 1, Data("abc"sv)), 0);
  EXPECT_EQ(registry_.SetValue(key, "Expand", 2, Data("%TEMP%\0"sv)), 0);
  EXPECT_EQ(registry_.SetValue(key, "Count", 4, Data("\x0a\x00\x00\x00"sv)), 0);
  EXPECT_EQ(registry_.SetValue(key, "", 1, Data("default\0"sv)), 0);
  EXPECT_EQ(registry_.CloseKey(key), 0);

  const std::string text = testing::ReadTextFile(HiveFile());
  EXPECT_TRUE(text.starts_with("REGEDIT4\r\n\r\n")) << text;
  EXPECT_NE(text.find("[HKEY_LOCAL_MACHINE\\Software\\Maker\\Uploader\\Settings]\r\n"),
            std::string::npos);
  EXPECT_NE(text.find("\"Korean\"=\"\xB0\xA1\xB3\xAA\"\r\n"), std::string::npos);
  EXPECT_NE(text.find("\"Count\"=dword:0000000a\r\n"), std::string::npos);
  EXPECT_NE(text.find("\"Expand\"=hex(2):25,54,45,4d,50,25,00\r\n"), std::string::npos);

  RegFileRegistry other(folder_.Path());
  const std::string path = "SOFTWARE\\maker\\UPLOADER\\settings";
  struct Expected {
    std::string_view name;
    std::uint32_t type;
    std::string_view bytes;
  };
  for (const Expected& expected : std::vector<Expected>{{"folder", 1, "C:\\Data\\\"x\"\0"sv},
                                                        {"Korean", 1, "\xB0\xA1\xB3\xAA\0"sv},
                                                        {"Empty", 1, "\0"sv},
                                                        {"NoNul", 1, "abc"sv},
                                                        {"Expand", 2, "%TEMP%\0"sv},
                                                        {"Count", 4, "\x0a\x00\x00\x00"sv},
                                                        {"", 1, "default\0"sv}}) {
    const ReadValue read = QueryPath(other, path, expected.name);
    EXPECT_EQ(read.status, 0) << expected.name;
    EXPECT_EQ(read.type, expected.type) << expected.name;
    EXPECT_EQ(read.bytes, expected.bytes) << expected.name;
  }
  EXPECT_EQ(QueryPath(other, path, "Missing").status, registry_status::kNotFound);
  EXPECT_EQ(QueryPath(other, "Software\\Maker\\Uploader", "Folder").status,
            registry_status::kNotFound);
}

TEST_F(RegFileRegistryTest, QueryReportsTheSizeAndRefusesSmallBuffers) {
  ASSERT_EQ(registry_.SetValue(kMachine, "Name", 1, Data("abcdef\0"sv)), 0);
  std::uint32_t type = 0;
  std::uint32_t size = 0;
  EXPECT_EQ(registry_.QueryValue(kMachine, "Name", type, size, nullptr), 0);
  EXPECT_EQ(type, 1u);
  EXPECT_EQ(size, 7u);
  std::byte buffer[16]{};
  size = 3;
  EXPECT_EQ(registry_.QueryValue(kMachine, "name", type, size, buffer), registry_status::kMoreData);
  EXPECT_EQ(size, 7u);
  size = sizeof buffer;
  EXPECT_EQ(registry_.QueryValue(kMachine, "NAME", type, size, buffer), 0);
  EXPECT_EQ(size, 7u);
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(buffer)), "abcdef");
}

TEST_F(RegFileRegistryTest, HandlesAndTheirStatusCodes) {
  RegistryKey key = 1;
  EXPECT_EQ(registry_.OpenKey(kMachine, "Software\\Nothing", key), registry_status::kNotFound);
  EXPECT_EQ(key, kNullKey);
  EXPECT_EQ(registry_.CreateKey(kNullKey, "A", key), registry_status::kInvalidHandle);
  EXPECT_EQ(registry_.OpenKey(0x12345, "A", key), registry_status::kInvalidHandle);
  EXPECT_EQ(registry_.OpenKey(HiveKey(static_cast<std::int32_t>(0x80000004u)), "", key),
            registry_status::kInvalidHandle);
  EXPECT_EQ(registry_.SetValue(kNullKey, "x", 1, Data("\0"sv)), registry_status::kInvalidHandle);
  std::uint32_t type = 0;
  std::uint32_t size = 0;
  EXPECT_EQ(registry_.QueryValue(kNullKey, "x", type, size, nullptr),
            registry_status::kInvalidHandle);
  EXPECT_EQ(registry_.DeleteValue(0x999, "x"), registry_status::kInvalidHandle);
  EXPECT_EQ(registry_.DeleteKey(kNullKey, "x"), registry_status::kInvalidHandle);
  EXPECT_EQ(registry_.CloseKey(kNullKey), registry_status::kInvalidHandle);

  RegistryKey first = kNullKey;
  RegistryKey second = kNullKey;
  ASSERT_EQ(registry_.CreateKey(kUser, "Software\\Maker", first), 0);
  ASSERT_EQ(registry_.OpenKey(kUser, "software\\MAKER", second), 0);
  EXPECT_NE(first, second);
  EXPECT_NE(first, kUser);
  RegistryKey below = kNullKey;
  ASSERT_EQ(registry_.CreateKey(first, "Uploader\\Deep", below), 0);
  EXPECT_EQ(registry_.OpenKey(kUser, "Software\\Maker\\Uploader", key), 0);
  EXPECT_EQ(registry_.CloseKey(key), 0);
  EXPECT_EQ(registry_.CloseKey(second), 0);
  EXPECT_EQ(registry_.CloseKey(second), registry_status::kInvalidHandle);
  EXPECT_EQ(registry_.CloseKey(kUser), 0);  // a hive is never really closed
  EXPECT_EQ(registry_.OpenKey(kUser, "Software", key), 0);
  // Hives are separate files.
  EXPECT_EQ(registry_.OpenKey(kMachine, "Software\\Maker", key), registry_status::kNotFound);
  EXPECT_TRUE(std::filesystem::exists(folder_ / "HKEY_CURRENT_USER.reg"));
  EXPECT_EQ(registry_.SetValue(first, "line\nbreak", 1, Data("\0"sv)),
            RegFileRegistry::kInvalidParameter);
}

TEST_F(RegFileRegistryTest, DeletesFollowThePlatformRules) {
  RegistryKey key = kNullKey;
  ASSERT_EQ(registry_.CreateKey(kMachine, "Software\\Maker\\Uploader", key), 0);
  ASSERT_EQ(registry_.SetValue(key, "Value", 3, Data("\x01"sv)), 0);
  EXPECT_EQ(registry_.DeleteValue(key, "Other"), registry_status::kNotFound);
  EXPECT_EQ(registry_.DeleteValue(key, "VALUE"), 0);
  EXPECT_EQ(registry_.DeleteValue(key, "Value"), registry_status::kNotFound);

  EXPECT_EQ(registry_.DeleteKey(kMachine, "Software\\Maker"), registry_status::kAccessDenied);
  EXPECT_EQ(registry_.DeleteKey(kMachine, "Software\\Maker\\Missing"), registry_status::kNotFound);
  EXPECT_EQ(registry_.DeleteKey(kMachine, ""), registry_status::kAccessDenied);
  EXPECT_EQ(registry_.DeleteKey(kMachine, "software\\maker\\uploader"), 0);
  EXPECT_EQ(registry_.DeleteKey(kMachine, "Software\\Maker"), 0);
  RegistryKey gone = kNullKey;
  EXPECT_EQ(registry_.OpenKey(kMachine, "Software\\Maker", gone), registry_status::kNotFound);
  EXPECT_EQ(registry_.OpenKey(kMachine, "Software", gone), 0);
  // The handle outlives its key, as on the platform, but nothing can be stored through it.
  EXPECT_EQ(registry_.SetValue(key, "Value", 3, Data("\x01"sv)), registry_status::kNotFound);
  EXPECT_EQ(Query(registry_, key, "Value").status, registry_status::kNotFound);
}

TEST_F(RegFileRegistryTest, EveryCallSeesWhatOthersWrote) {
  RegFileRegistry other(folder_.Path());
  ASSERT_EQ(registry_.SetValue(kMachine, "Shared", 1, Data("one\0"sv)), 0);
  EXPECT_EQ(Query(other, kMachine, "Shared").bytes, "one\0"sv);
  ASSERT_EQ(other.SetValue(kMachine, "Shared", 1, Data("two\0"sv)), 0);
  EXPECT_EQ(Query(registry_, kMachine, "Shared").bytes, "two\0"sv);

  // An edit in place by hand, same size as before.
  std::string text = testing::ReadTextFile(HiveFile());
  text.replace(text.find("two"), 3, "six");
  testing::WriteTextFile(HiveFile(), text);
  EXPECT_EQ(Query(registry_, kMachine, "Shared").bytes, "six\0"sv);
  std::filesystem::remove(HiveFile());
  EXPECT_EQ(Query(registry_, kMachine, "Shared").status, registry_status::kNotFound);
}

TEST_F(RegFileRegistryTest, DamagedFileReadsAsAbsentAndIsReplacedWholeByTheNextWrite) {
  testing::WriteTextFile(HiveFile(),
                         "REGEDIT4\r\n\r\n[HKEY_LOCAL_MACHINE\\Software\\Kept]\r\n"
                         "\"Intact\"=\"yes\"\r\n"
                         "\x01\x02\xff\xfe garbage [ \" = \r\n"
                         "\"Cut\"=hex:01,02,0");
  EXPECT_EQ(QueryPath(registry_, "Software\\Kept", "Intact").bytes, "yes\0"sv);
  EXPECT_EQ(QueryPath(registry_, "Software\\Kept", "Cut").status, registry_status::kNotFound);

  ASSERT_EQ(registry_.SetValue(kMachine, "New", 4, Data("\x01\x00\x00\x00"sv)), 0);
  const std::string text = testing::ReadTextFile(HiveFile());
  EXPECT_EQ(text.find("garbage"), std::string::npos);
  EXPECT_EQ(text.find("\"Cut\""), std::string::npos);
  EXPECT_EQ(FormatRegFile(ParseRegFile(text, "HKEY_LOCAL_MACHINE"), "HKEY_LOCAL_MACHINE"), text);
  EXPECT_EQ(QueryPath(registry_, "Software\\Kept", "Intact").bytes, "yes\0"sv);

  testing::WriteTextFile(HiveFile(), std::string("\0\0\0\x80\xff REGEDIT4\n[", 16));
  EXPECT_EQ(QueryPath(registry_, "Software\\Kept", "Intact").status, registry_status::kNotFound);
  EXPECT_EQ(Query(registry_, kMachine, "New").status, registry_status::kNotFound);
}

// The files kept beside the hive file, by name.
std::vector<std::filesystem::path> KeptFiles(const std::filesystem::path& folder) {
  std::vector<std::filesystem::path> kept;
  for (const auto& entry : std::filesystem::directory_iterator(folder)) {
    if (entry.path().filename().string().starts_with("HKEY_LOCAL_MACHINE.reg.damaged-")) {
      kept.push_back(entry.path());
    }
  }
  return kept;
}

TEST_F(RegFileRegistryTest, ADamagedFileIsKeptBesideItselfBeforeAWriteReplacesIt) {
  std::vector<std::string> told;
  registry_.SetOnDamagedHiveKept([&](const std::string& kept) { told.push_back(kept); });
  const std::string intact =
      "REGEDIT4\r\n\r\n[HKEY_LOCAL_MACHINE\\Software\\Kept]\r\n\"A\"=\"1\"\r\n";
  const struct {
    const char* label;
    std::string text;
    bool damaged;
  } cases[] = {
      {"clean", intact + "; a comment\r\n\r\n", false},
      {"garbled line", intact + "\x01\xff garbage [ \" = \r\n", true},
      {"broken key line, then a value", intact + "[HKEY_LOCAL_MACHINE\\Broken\r\n\"B\"=\"2\"\r\n",
       true},
      {"another hive's section", intact + "[HKEY_CURRENT_USER\\X]\r\n", true},
      {"cut-off value", intact + "\"Cut\"=hex:01,02,0", true},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.label);
    for (const auto& kept : KeptFiles(folder_.Path())) std::filesystem::remove(kept);
    told.clear();
    testing::WriteTextFile(HiveFile(), c.text);
    ASSERT_EQ(registry_.SetValue(kMachine, "New", 1, Data("n\0"sv)), 0);
    ASSERT_EQ(registry_.SetValue(kMachine, "Newer", 1, Data("m\0"sv)), 0);

    const std::vector<std::filesystem::path> kept = KeptFiles(folder_.Path());
    ASSERT_EQ(kept.size(), c.damaged ? 1u : 0u);
    EXPECT_EQ(told.size(), kept.size()) << "told once, at the write that replaced it";
    if (c.damaged) {
      EXPECT_EQ(testing::ReadTextFile(kept[0]), c.text);
      EXPECT_EQ(told[0], kept[0].string());
    }
    EXPECT_EQ(QueryPath(registry_, "Software\\Kept", "A").bytes, "1\0"sv);
    EXPECT_EQ(Query(registry_, kMachine, "Newer").bytes, "m\0"sv);
  }
}

TEST_F(RegFileRegistryTest, ProcessesWritingAtOnceLoseNothing) {
  constexpr int kChildren = 4;
  constexpr int kValuesEach = 25;
  const std::string folder = folder_.Path();
  std::vector<std::function<int()>> children;
  for (int child = 0; child < kChildren; ++child) {
    children.push_back([folder, child]() -> int {
      RegFileRegistry registry(folder);
      RegistryKey key = kNullKey;
      const std::string path = "Software\\Child" + std::to_string(child);
      if (registry.CreateKey(kMachine, path, key) != 0) return 1;
      for (int i = 0; i < kValuesEach; ++i) {
        const std::string number = std::to_string(i);
        const std::string data = number + '\0';
        if (registry.SetValue(key, "Value" + number, 1, AsBytes(data)) != 0) return 2;
        if (registry.SetValue(kMachine, "Last" + std::to_string(child), 1, AsBytes(data)) != 0) {
          return 3;
        }
      }
      return 0;
    });
  }
  const std::vector<int> statuses = testing::RunChildrenTogether(children);
  for (int child = 0; child < kChildren; ++child)
    EXPECT_EQ(statuses[static_cast<std::size_t>(child)], 0) << child;

  const RegTree tree = ParseRegFile(testing::ReadTextFile(HiveFile()), "HKEY_LOCAL_MACHINE");
  for (int child = 0; child < kChildren; ++child) {
    const std::string path = "Software\\Child" + std::to_string(child);
    for (int i = 0; i < kValuesEach; ++i) {
      const RegValue* value = tree.FindValue(path, "Value" + std::to_string(i));
      ASSERT_NE(value, nullptr) << path << " " << i;
      EXPECT_EQ(value->data.size(), std::to_string(i).size() + 1);
    }
    EXPECT_EQ(QueryPath(registry_, "", "Last" + std::to_string(child)).bytes,
              std::to_string(kValuesEach - 1) + '\0');
  }
  for (const auto& entry : std::filesystem::directory_iterator(folder_.Path())) {
    const std::string name = entry.path().filename().string();
    EXPECT_TRUE(name == "HKEY_LOCAL_MACHINE.reg" || name == "HKEY_LOCAL_MACHINE.reg.lock")
        << "left behind: " << name;
  }
}

TEST_F(RegFileRegistryTest, AFolderThatCannotBeWrittenGivesAccessDenied) {
  // Below a plain file no folder can ever be made, whoever runs the test.
  testing::WriteTextFile(folder_ / "plain", "x");
  RegFileRegistry blocked(folder_ / "plain/registry");
  std::vector<std::pair<std::string, int>> told;
  blocked.SetOnHiveWriteFailed(
      [&](const std::string& path, int error) { told.emplace_back(path, error); });
  RegistryKey key = kNullKey;
  EXPECT_EQ(blocked.CreateKey(kMachine, "Software", key), registry_status::kAccessDenied);
  EXPECT_EQ(blocked.SetValue(kMachine, "x", 1, Data("\0"sv)), registry_status::kAccessDenied);
  EXPECT_EQ(Query(blocked, kMachine, "x").status, registry_status::kNotFound);
  const std::pair<std::string, int> notTheFolder{folder_ / "plain/registry", ENOTDIR};
  EXPECT_EQ(told, (std::vector{notTheFolder, notTheFolder}));

  // A folder without write permission, with a hive in it already.
  RegistryKey existing = kNullKey;
  ASSERT_EQ(registry_.CreateKey(kMachine, "Software\\Kept", existing), 0);
  ASSERT_EQ(registry_.SetValue(existing, "Old", 1, Data("1\0"sv)), 0);
  ::chmod(folder_.Path().c_str(), 0555);
  ::chmod(HiveFile().c_str(), 0444);
  ::chmod((HiveFile() + ".lock").c_str(), 0444);
  const std::string folder = folder_.Path();
  const int status = testing::RunInChild([folder]() -> int {
    if (!testing::DropRootPrivileges()) return 10;
    RegFileRegistry registry(folder);
    if (QueryPath(registry, "Software\\Kept", "Old").bytes != "1\0"sv) return 11;
    RegistryKey kept = kNullKey;
    if (registry.CreateKey(kMachine, "Software\\Kept", kept) != 0) return 12;
    if (registry.SetValue(kept, "New", 1, Data("2\0"sv)) != registry_status::kAccessDenied) {
      return 13;
    }
    RegistryKey added = kNullKey;
    if (registry.CreateKey(kMachine, "Software\\New", added) != registry_status::kAccessDenied) {
      return 14;
    }
    if (registry.DeleteValue(kept, "Old") != registry_status::kAccessDenied) return 15;
    return 0;
  });
  EXPECT_EQ(status, 0);
}

TEST_F(RegFileRegistryTest, AFullDiskIsToldAndLeavesTheFileAsItWas) {
  if (::geteuid() != 0) GTEST_SKIP() << "mounting a small tmpfs to fill takes root";
  const std::string folder = folder_ / "small";
  std::filesystem::create_directory(folder);
  constexpr int kNoMount = 77;
  const int status = testing::RunInChild([folder]() -> int {
    // The child's own mount namespace: the tmpfs goes with the child.
    if (::unshare(CLONE_NEWNS) != 0 ||
        ::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0 ||
        ::mount("tmpfs", folder.c_str(), "tmpfs", 0, "size=16k") != 0) {
      return kNoMount;
    }
    RegFileRegistry registry(folder);
    if (registry.SetValue(kMachine, "Old", 1, Data("1\0"sv)) != 0) return 10;
    const std::string before = testing::ReadTextFile(folder + "/HKEY_LOCAL_MACHINE.reg");
    const int filler = ::open((folder + "/filler").c_str(), O_WRONLY | O_CREAT, 0600);
    const std::string block(4096, 'f');
    while (::write(filler, block.data(), block.size()) > 0) {
    }
    ::close(filler);
    std::vector<std::pair<std::string, int>> told;
    registry.SetOnHiveWriteFailed(
        [&](const std::string& path, int error) { told.emplace_back(path, error); });
    if (registry.SetValue(kMachine, "New", 1, Data("2\0"sv)) != registry_status::kAccessDenied) {
      return 11;
    }
    if (told !=
        std::vector<std::pair<std::string, int>>{{folder + "/HKEY_LOCAL_MACHINE.reg", ENOSPC}}) {
      return 12;
    }
    if (testing::ReadTextFile(folder + "/HKEY_LOCAL_MACHINE.reg") != before) return 13;
    return 0;
  });
  if (status == kNoMount) GTEST_SKIP() << "no mount namespace of its own for the tmpfs here";
  EXPECT_EQ(status, 0);
}

TEST_F(RegFileRegistryTest, AFileThatCannotBeReadIsNeverReplaced) {
  ASSERT_EQ(registry_.SetValue(kMachine, "Old", 1, Data("1\0"sv)), 0);
  const std::string before = testing::ReadTextFile(HiveFile());
  ::chmod(folder_.Path().c_str(), 0777);
  ::chmod(HiveFile().c_str(), 0);
  ::chmod((HiveFile() + ".lock").c_str(), 0666);
  const std::string folder = folder_.Path();
  const int status = testing::RunInChild([folder]() -> int {
    if (!testing::DropRootPrivileges()) return 10;
    RegFileRegistry registry(folder);
    if (Query(registry, kMachine, "Old").status != registry_status::kNotFound) return 11;
    if (registry.SetValue(kMachine, "New", 1, Data("2\0"sv)) != registry_status::kAccessDenied) {
      return 12;
    }
    return 0;
  });
  EXPECT_EQ(status, 0);
  EXPECT_EQ(testing::ReadTextFile(HiveFile()), before);
}

// The registry's own limits, so that a page's script cannot make a key whose file costs the
// square of its depth: a name of 255 characters and 512 levels are the most it takes.
TEST_F(RegFileRegistryTest, KeysPastTheRegistryLimitsAreRefusedAndDeepKeysStaySmall) {
  auto levels = [](std::size_t count, std::string_view name) {
    std::string path(name);
    for (std::size_t i = 1; i < count; ++i) path.append("\\").append(name);
    return path;
  };
  const struct {
    std::string path;
    std::int32_t status;
  } cases[] = {
      {std::string(255, 'k'), registry_status::kSuccess},
      {std::string(256, 'k'), RegFileRegistry::kInvalidParameter},
      {"Software\\" + std::string(400, '\xb0') + "\\A", registry_status::kSuccess},
      {levels(512, "d"), registry_status::kSuccess},
      {levels(513, "e"), RegFileRegistry::kInvalidParameter},
  };
  for (const auto& c : cases) {
    RegistryKey key = kNullKey;
    EXPECT_EQ(registry_.CreateKey(kMachine, c.path, key), c.status) << c.path.size();
    if (key != kNullKey) {
      EXPECT_EQ(registry_.SetValue(key, "v", 1, Data("x\0"sv)), 0);
    }
    registry_.CloseKey(key);
  }
  // The 512 levels are one section; the ancestors are made again by reading it.
  EXPECT_LT(std::filesystem::file_size(HiveFile()), 2000u);
  RegFileRegistry again(folder_.Path());
  EXPECT_EQ(QueryPath(again, levels(512, "d"), "v").bytes, "x\0"sv);
  RegistryKey middle = kNullKey;
  EXPECT_EQ(again.OpenKey(kMachine, levels(300, "d"), middle), 0);
  again.CloseKey(middle);

  // A hand-made file past the limits: that section is not read, the rest is.
  testing::WriteTextFile(
      HiveFile(), "REGEDIT4\r\n\r\n[HKEY_LOCAL_MACHINE\\" + levels(600, "f") +
                      "]\r\n\"v\"=\"deep\"\r\n\r\n[HKEY_LOCAL_MACHINE\\ok]\r\n\"v\"=\"x\"\r\n");
  RegFileRegistry third(folder_.Path());
  EXPECT_EQ(QueryPath(third, levels(600, "f"), "v").status, registry_status::kNotFound);
  EXPECT_EQ(QueryPath(third, "ok", "v").bytes, "x\0"sv);
}

TEST(RegFileRegistryFolder, ComesFromTheEnvironment) {
  testing::EnvironmentOverride home("HOME", "/home/someone");
  {
    testing::EnvironmentOverride named("VELDRASK_REGISTRY", "/srv/registry");
    EXPECT_EQ(RegFileRegistry::DefaultFolder(), "/srv/registry");
  }
  testing::EnvironmentOverride named("VELDRASK_REGISTRY", std::nullopt);
  {
    testing::EnvironmentOverride config("XDG_CONFIG_HOME", "/etc/xdg-user/");
    EXPECT_EQ(RegFileRegistry::DefaultFolder(), "/etc/xdg-user/veldrask");
  }
  testing::EnvironmentOverride config("XDG_CONFIG_HOME", std::nullopt);
  EXPECT_EQ(RegFileRegistry::DefaultFolder(), "/home/someone/.config/veldrask");
}

}  // namespace
}  // namespace veldrask::posix
