#include <map>

#include "control_fixture.h"

namespace veldrask::testing {
namespace {

class MemoryBag : public PropertyBag {
 public:
  std::map<std::string, Variant, std::less<>> values;

  Variant Read(std::string_view name, const Variant& defaultValue) override {
    const auto found = values.find(name);
    return found == values.end() ? defaultValue : found->second;
  }
  void Write(std::string_view name, const Variant& value, const Variant& defaultValue) override {
    if (!(value == defaultValue)) values[std::string(name)] = value;
  }
};

using ControlPersistence = ControlTest;

TEST_F(ControlPersistence, LoadsEveryParameterThroughItsWriter) {
  MemoryBag bag;
  bag.values = {{"MaxFileCount", "5"},
                {"MaxFileSize", "10"},
                {"UnitFileSize", "2"},
                {"MainTitle", "자료실"},
                {"HostName", "h.test"},
                {"ActionURL", "/up.php"},
                {"ReturnURL", "/ok.html"},
                {"ServerPort", "8080"},
                {"FilePrefix", "upfile"},
                {"PaddingZero", "1"},
                {"BufferSize", "65536"},
                {"UpDownload", "1"},
                {"ExcludeFileExtension", "exe|dll"},
                {"Charset", "utf-8"}};
  UploaderControl& control = Create();
  control.Load(bag);
  EXPECT_EQ(control.MaxFileCount(), 5);
  EXPECT_EQ(control.RemainSize(), 10240);
  EXPECT_EQ(control.UnitFileSize(), 2);
  EXPECT_EQ(control.MainTitle(), "자료실 [초록모래 파일트랜스퍼 Ver 1.8]");
  EXPECT_EQ(control.ServerPort(), 8080);
  EXPECT_EQ(control.BufferSize(), 65536);
  EXPECT_EQ(control.ExcludeFileExtension(), "exe|dll");
  EXPECT_EQ(Caption("lblTotalFileCount"), "0 개 (최대 5 개)");
  EXPECT_EQ(Caption("lblRemainFileSize"), "10,240 KB");
  EXPECT_FALSE(IsVisible("MainFrame"));
  EXPECT_TRUE(IsVisible("DNMainFrame"));
  EXPECT_EQ(control.Charset(), "utf-8");
  EXPECT_EQ(host_.changes.size(), 14u);
  EXPECT_EQ(host_.changes.back(), "Charset");
  EXPECT_EQ(host_.changes[3], "MainTitle");
}

TEST_F(ControlPersistence, AFailingValueEndsTheLoadPartWay) {
  MemoryBag bag;
  bag.values = {{"MaxFileCount", "4"},
                {"HostName", "h.test"},
                {"ServerPort", "32768"},
                {"FilePrefix", "upfile"}};
  UploaderControl& control = Create();
  EXPECT_EQ(ErrorOf([&] { control.Load(bag); }), 6);
  EXPECT_EQ(control.MaxFileCount(), 4);
  EXPECT_EQ(control.HostName(), "h.test");
  EXPECT_EQ(control.ServerPort(), 80);
  EXPECT_EQ(control.FilePrefix(), "file");

  MemoryBag notANumber;
  notANumber.values = {{"MaxFileSize", "lots"}};
  UploaderControl other(platform_.Get(), host_);
  EXPECT_EQ(ErrorOf([&] { other.Load(notANumber); }), 13);
  EXPECT_EQ(other.MaxFileSize(), 1);
}

TEST_F(ControlPersistence, SaveStoresNothingAndAReloadDoublesTheTitle) {
  MemoryBag bag;
  UploaderControl& control = CreateNew();
  control.SetHostName("h.test");
  control.Save(bag);
  EXPECT_TRUE(bag.values.empty());

  UploaderControl reloaded(platform_.Get(), host_);
  reloaded.Load(bag);
  EXPECT_EQ(reloaded.HostName(), "");
  EXPECT_EQ(reloaded.MaxFileCount(), 1);
  EXPECT_EQ(reloaded.MainTitle(), "초록모래 파일트랜스퍼 Ver 1.8 [초록모래 파일트랜스퍼 Ver 1.8]");
}

}  // namespace
}  // namespace veldrask::testing
