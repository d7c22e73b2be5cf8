#include <gtest/gtest.h>

#include <string>

#include "base/text.h"
#include "win32/win32_code_page.h"
#include "win32/win32_registry.h"
#include "win32/windows_api.h"

namespace veldrask::win32::testing {
namespace {

using namespace registry_status;

class Win32RegistryTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_EQ(registry.CreateKey(HiveKey(kCurrentUser), kRoot, root), kSuccess);
  }
  void TearDown() override {
    registry.CloseKey(root);
    RegDeleteTreeA(HKEY_CURRENT_USER, kRoot);
  }

  std::string Read(RegistryKey key, std::string_view name) {
    std::uint32_t type = 0;
    std::uint32_t size = 0;
    if (registry.QueryValue(key, name, type, size, nullptr) != kSuccess) return "<none>";
    std::string value(size, '\0');
    EXPECT_EQ(
        registry.QueryValue(key, name, type, size, reinterpret_cast<std::byte*>(value.data())),
        kSuccess);
    EXPECT_EQ(type, registry_type::kString);
    return value.substr(0, value.find('\0'));
  }

  static constexpr const char* kRoot = "Software\\VeldraskTest";
  Win32Registry registry;
  Win32CodePage ansi;
  RegistryKey root = kNullKey;
};

TEST_F(Win32RegistryTest, AnsiNamesAndValuesRoundTripThroughTheSystemRegistry) {
  // Key and value names are CP949 bytes: the system must store them as the Korean text.
  RegistryKey key = kNullKey;
  ASSERT_EQ(registry.CreateKey(root, ansi.Encode("업로드\\설정"), key), kSuccess);
  const std::string value = ansi.Encode("C:\\내 문서") + '\0';
  ASSERT_EQ(registry.SetValue(key, ansi.Encode("폴더"), registry_type::kString, AsBytes(value)),
            kSuccess);
  EXPECT_EQ(ansi.Decode(Read(key, ansi.Encode("폴더"))), "C:\\내 문서");
  registry.CloseKey(key);

  HKEY wide = nullptr;
  ASSERT_EQ(
      RegOpenKeyExW(HKEY_CURRENT_USER, L"Software\\VeldraskTest\\업로드\\설정", 0, KEY_READ, &wide),
      ERROR_SUCCESS);
  wchar_t text[64] = {};
  DWORD size = sizeof text;
  EXPECT_EQ(RegQueryValueExW(wide, L"폴더", nullptr, nullptr, reinterpret_cast<BYTE*>(text), &size),
            ERROR_SUCCESS);
  EXPECT_EQ(std::wstring(text), L"C:\\내 문서");
  RegCloseKey(wide);
}

TEST_F(Win32RegistryTest, StatusesAreTheSystemsOwn) {
  RegistryKey key = kNullKey;
  EXPECT_EQ(registry.OpenKey(root, "Missing", key), kNotFound);
  EXPECT_EQ(key, kNullKey);
  std::uint32_t type = 0;
  std::uint32_t size = 0;
  EXPECT_EQ(registry.QueryValue(root, "missing", type, size, nullptr), kNotFound);

  const std::string value = "a longer value";
  ASSERT_EQ(registry.SetValue(root, "v", registry_type::kBinary, AsBytes(value)), kSuccess);
  std::byte small[4];
  size = sizeof small;
  EXPECT_EQ(registry.QueryValue(root, "v", type, size, small), kMoreData);
  EXPECT_EQ(size, value.size());
  EXPECT_EQ(registry.DeleteValue(root, "v"), kSuccess);
  EXPECT_EQ(registry.DeleteValue(root, "v"), kNotFound);

  RegistryKey child = kNullKey;
  ASSERT_EQ(registry.CreateKey(root, "Parent\\Child", child), kSuccess);
  registry.CloseKey(child);
  EXPECT_NE(registry.DeleteKey(root, "Parent"), kSuccess);  // it has a subkey
  EXPECT_EQ(registry.DeleteKey(root, "Parent\\Child"), kSuccess);
  EXPECT_EQ(registry.DeleteKey(root, "Parent"), kSuccess);
  EXPECT_EQ(registry.CreateKey(root, std::string_view("a\0b", 3), key), 87);
}

TEST_F(Win32RegistryTest, AKeyWithoutWriteAccessRefusesWritesButReads) {
  ASSERT_EQ(registry.SetValue(root, "kept", registry_type::kString, AsBytes("yes")), kSuccess);
  HKEY readOnly = nullptr;
  ASSERT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, kRoot, 0, KEY_READ, &readOnly), ERROR_SUCCESS);
  const auto key = static_cast<RegistryKey>(reinterpret_cast<std::uintptr_t>(readOnly));
  EXPECT_EQ(registry.SetValue(key, "v", registry_type::kString, AsBytes("x")), kAccessDenied);
  EXPECT_EQ(registry.DeleteValue(key, "kept"), kAccessDenied);
  EXPECT_EQ(Read(key, "kept"), "yes");
  RegCloseKey(readOnly);
}

}  // namespace
}  // namespace veldrask::win32::testing
