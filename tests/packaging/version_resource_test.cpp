// The version resources of the control DLL and of veldrask.exe, read back the way installers
// and code download read them, against the version CMake gave the build.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

namespace {

struct Binary {
  const char* path;
  const wchar_t* fileName;
  bool selfRegistering;
};

const Binary kBinaries[] = {
    {VELDRASK_CONTROL_DLL, L"VeldraskUploader.dll", true},
    {VELDRASK_HOST_EXE, L"veldrask.exe", false},
};

std::wstring WindowsPath(const char* unixPath) {
  std::wstring path = L"Z:";
  for (const char* c = unixPath; *c != '\0'; ++c) path += *c == '/' ? L'\\' : wchar_t(*c);
  return path;
}

std::wstring Widen(const char* ascii) {
  return std::wstring(ascii, ascii + strlen(ascii));
}

class VersionResource : public testing::TestWithParam<Binary> {
 protected:
  void SetUp() override {
    const std::wstring path = WindowsPath(GetParam().path);
    DWORD ignored = 0;
    const DWORD size = GetFileVersionInfoSizeW(path.c_str(), &ignored);
    ASSERT_NE(size, 0u) << GetParam().path << ": no version resource";
    data_.resize(size);
    ASSERT_TRUE(GetFileVersionInfoW(path.c_str(), 0, size, data_.data()));
  }

  // The string value name of the Korean, UTF-16 block; nullptr when it is absent.
  const wchar_t* Text(const std::wstring& name) {
    const std::wstring query = L"\\StringFileInfo\\041204B0\\" + name;
    void* value = nullptr;
    UINT length = 0;
    if (!VerQueryValueW(data_.data(), query.c_str(), &value, &length)) return nullptr;
    return static_cast<const wchar_t*>(value);
  }

  std::vector<BYTE> data_;
};

TEST_P(VersionResource, NumbersAreTheBuildsVersion) {
  void* value = nullptr;
  UINT length = 0;
  ASSERT_TRUE(VerQueryValueW(data_.data(), L"\\", &value, &length));
  ASSERT_EQ(length, sizeof(VS_FIXEDFILEINFO));
  const auto* fixed = static_cast<const VS_FIXEDFILEINFO*>(value);
  EXPECT_EQ(fixed->dwSignature, 0xFEEF04BDu);
  const std::wstring numbers = std::to_wstring(HIWORD(fixed->dwFileVersionMS)) + L"." +
                               std::to_wstring(LOWORD(fixed->dwFileVersionMS)) + L"." +
                               std::to_wstring(HIWORD(fixed->dwFileVersionLS)) + L"." +
                               std::to_wstring(LOWORD(fixed->dwFileVersionLS));
  EXPECT_EQ(numbers, Widen(VELDRASK_EXPECTED_VERSION));
  EXPECT_EQ(fixed->dwProductVersionMS, fixed->dwFileVersionMS);
  EXPECT_EQ(fixed->dwProductVersionLS, fixed->dwFileVersionLS);
  EXPECT_EQ(fixed->dwFileType, GetParam().selfRegistering ? DWORD(VFT_DLL) : DWORD(VFT_APP));
}

TEST_P(VersionResource, KoreanStringBlock) {
  void* value = nullptr;
  UINT length = 0;
  ASSERT_TRUE(VerQueryValueW(data_.data(), L"\\VarFileInfo\\Translation", &value, &length));
  ASSERT_EQ(length, 4u);
  EXPECT_EQ(static_cast<const WORD*>(value)[0], 0x0412);
  EXPECT_EQ(static_cast<const WORD*>(value)[1], 1200);

  for (const wchar_t* name : {L"FileVersion", L"ProductVersion"}) {
    ASSERT_NE(Text(name), nullptr) << name;
    EXPECT_EQ(std::wstring(Text(name)), Widen(VELDRASK_EXPECTED_VERSION)) << name;
  }
  ASSERT_NE(Text(L"ProductName"), nullptr);
  EXPECT_EQ(std::wstring(Text(L"ProductName")),
            L"Veldrask \xD30C\xC77C \xC804\xC1A1 \xCEE8\xD2B8\xB864");
  ASSERT_NE(Text(L"LegalCopyright"), nullptr);
  EXPECT_EQ(std::wstring(Text(L"LegalCopyright")).rfind(L"Copyright \x00A9 ", 0), 0u);
  ASSERT_NE(Text(L"FileDescription"), nullptr);
  EXPECT_NE(std::wstring(Text(L"FileDescription")).find(L"\xD30C\xC77C \xC804\xC1A1"),
            std::wstring::npos);
  ASSERT_NE(Text(L"OriginalFilename"), nullptr);
  EXPECT_EQ(std::wstring(Text(L"OriginalFilename")), GetParam().fileName);
  // Present (empty) exactly in the COM server.
  EXPECT_EQ(Text(L"OLESelfRegister") != nullptr, GetParam().selfRegistering);
}

INSTANTIATE_TEST_SUITE_P(Binaries, VersionResource, testing::ValuesIn(kBinaries));

}  // namespace
