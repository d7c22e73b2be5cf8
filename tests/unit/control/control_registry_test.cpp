#include "control_fixture.h"

namespace veldrask::testing {
namespace {

using ControlRegistry = ControlTest;

constexpr std::int32_t kHklm = -2147483646;

TEST_F(ControlRegistry, StartUpCreatesTheDefaultFolderSetting) {
  UploaderControl& control = Create();
  const std::string folder = platform_.files.DefaultDownloadFolder();
  EXPECT_EQ(control.DownloadFolder(), folder);
  EXPECT_EQ(Caption("lblDownloadFolder"), folder);
  RegistrySettings settings(platform_.registry, platform_.ansi);
  EXPECT_EQ(settings.ReadString(kHklm, "Software\\VELDRASKUpDownloader", "DownPath"), folder);
}

TEST_F(ControlRegistry, StartUpReadsAKoreanFolderBack) {
  RegistrySettings settings(platform_.registry, platform_.ansi);
  ASSERT_EQ(settings.SaveString(kHklm, "Software\\VELDRASKUpDownloader", "DownPath", "/자료/받기"),
            0);
  UploaderControl& control = Create();
  EXPECT_EQ(control.DownloadFolder(), "/자료/받기");
  EXPECT_EQ(Caption("lblDownloadFolder"), "/자료/받기");
}

TEST_F(ControlRegistry, EmptyOrOtherTypedSettingsAreReplacedByTheDefault) {
  RegistrySettings settings(platform_.registry, platform_.ansi);
  settings.SaveString(kHklm, "Software\\VELDRASKUpDownloader", "DownPath", "");
  EXPECT_EQ(Create().DownloadFolder(), platform_.files.DefaultDownloadFolder());

  RegistryKey key = kNullKey;
  ASSERT_EQ(platform_.registry.CreateKey(HiveKey(kHklm), "Software\\VELDRASKUpDownloader", key), 0);
  const std::string expandable = std::string("/elsewhere") + '\0';
  platform_.registry.SetValue(key, "DownPath", registry_type::kExpandString, AsBytes(expandable));
  platform_.registry.CloseKey(key);
  EXPECT_EQ(settings.ReadString(kHklm, "Software\\VELDRASKUpDownloader", "DownPath"), "");
  EXPECT_EQ(Create().DownloadFolder(), platform_.files.DefaultDownloadFolder());
}

// Short and long values, either side of what one read takes, with or without their NUL.
TEST_F(ControlRegistry, ValuesAreReadWholeWithOrWithoutTheirNul) {
  RegistryKey key = kNullKey;
  ASSERT_EQ(platform_.registry.CreateKey(HiveKey(kHklm), "Software\\Test", key), 0);
  RegistrySettings settings(platform_.registry, platform_.ansi);
  for (const std::string& value :
       {std::string("abc"), std::string(512, 'a'), std::string(513, 'b'), std::string(4000, 'c')}) {
    for (const std::string& stored : {value, value + '\0'}) {
      platform_.registry.SetValue(key, "Raw", registry_type::kString, AsBytes(stored));
      EXPECT_EQ(settings.ReadString(kHklm, "Software\\Test", "Raw"), value)
          << value.size() << " bytes, stored " << stored.size();
    }
  }
  platform_.registry.CloseKey(key);
}

TEST_F(ControlRegistry, MethodsReturnThePlatformsStatusCodes) {
  UploaderControl& control = CreateNew();
  EXPECT_EQ(control.RegiSaveString(kHklm, "Software\\A\\B\\C", "Name", "one"), 0);
  EXPECT_EQ(control.RegiSaveString(kHklm, "Software\\A\\B\\C", "Name", "two"), 0);
  RegistrySettings settings(platform_.registry, platform_.ansi);
  EXPECT_EQ(settings.ReadString(kHklm, "Software\\A\\B\\C", "Name"), "two");

  EXPECT_EQ(control.RegiDeleteValue(kHklm, "Software\\A\\B\\C", "Missing"), 2);
  EXPECT_EQ(control.RegiDeleteValue(kHklm, "Software\\No\\Such\\Key", "Name"), 6);
  EXPECT_EQ(control.RegiDeleteKey(kHklm, "Software\\A\\B"), 5);  // it still has a subkey
  EXPECT_EQ(settings.ReadString(kHklm, "Software\\A\\B\\C", "Name"), "two");
  EXPECT_EQ(control.RegiDeleteValue(kHklm, "Software\\A\\B\\C", "Name"), 0);
  EXPECT_EQ(control.RegiDeleteKey(kHklm, "Software\\A\\B\\C"), 0);
  EXPECT_EQ(control.RegiDeleteKey(kHklm, "Software\\A\\B\\C"), 2);
  EXPECT_EQ(control.RegiSaveString(12345, "Software\\A", "Name", "x"), 6);  // not a hive
}

TEST_F(ControlRegistry, AnUnwritableRegistryLeavesTheDefaultFolderUnreported) {
  const std::unique_ptr<Registry> unwritable = platform_.Backend().MakeUnwritableRegistry();
  Platform& p = platform_.Get();
  Platform withUnwritable{p.loop,  p.network, p.files,  *unwritable, p.shell,
                          p.clock, p.ansi,    p.locale, p.random,    p.ui};
  UploaderControl control(withUnwritable, host_);
  EXPECT_EQ(control.DownloadFolder(), platform_.files.DefaultDownloadFolder());
  // The key cannot be created, so the value is set through a null handle.
  EXPECT_EQ(control.RegiSaveString(kHklm, "Software\\A", "Name", "x"), 6);
}

}  // namespace
}  // namespace veldrask::testing
