// The Windows host's conversions: dispatch errors to the control's own, dispatch results to
// the core's values, Unix paths as Wine maps them, and long Korean pages read in pieces.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "base/error.h"
#include "dll_session.h"
#include "korean_charsets.h"
#include "native_path.h"
#include "page_params.h"
#include "variant_value.h"
#include "win32/win32_code_page.h"

namespace veldrask::host {
namespace {

// The page reader knows code page 949 once the host has taught it, as main() does.
class KoreanCharsets : public ::testing::Environment {
 public:
  void SetUp() override { RegisterKoreanCharsets(); }
};
const auto* const kCharsets = ::testing::AddGlobalTestEnvironment(new KoreanCharsets);

TEST(ExePiecesTest, DispatchFailuresBecomeTheNumbersScriptsSee) {
  struct Case {
    HRESULT result;
    std::string description;
    std::int32_t number;
    std::string shown;  // empty: the control's table has it
  } cases[] = {
      {MAKE_HRESULT(SEVERITY_ERROR, FACILITY_CONTROL, 13), "형식이 다름", 13, "형식이 다름"},
      {MAKE_HRESULT(SEVERITY_ERROR, FACILITY_CONTROL, 6), "", 6, ""},
      {DISP_E_UNKNOWNNAME, "Unknown name.", 438, ""},
      {DISP_E_BADPARAMCOUNT, "", 450, ""},
      {DISP_E_PARAMNOTOPTIONAL, "", 449, ""},
      {E_FAIL, "Unspecified error", static_cast<std::int32_t>(E_FAIL), "Unspecified error"},
  };
  for (const Case& c : cases) {
    const Error error =
        ControlError(container::MemberError(static_cast<std::int32_t>(c.result), c.description));
    EXPECT_EQ(error.Number(), c.number) << c.description;
    EXPECT_EQ(error.Description(), c.shown.empty() ? std::string(DescribeError(c.number)) : c.shown)
        << c.number;
  }
}

TEST(ExePiecesTest, ResultsBecomeTheValuesThePosixHostPrints) {
  VARIANT value;
  VariantInit(&value);
  EXPECT_TRUE(ValueOf(value).IsEmpty());
  value.vt = VT_BOOL;
  value.boolVal = VARIANT_TRUE;
  EXPECT_EQ(ValueOf(value).ToString(), "True");
  value.vt = VT_I2;
  value.iVal = -7;
  EXPECT_EQ(ValueOf(value).ToString(), "-7");
  value.vt = VT_I4;
  value.lVal = 2'000'000'000;
  EXPECT_EQ(ValueOf(value).ToString(), "2000000000");
  value.vt = VT_BSTR;
  value.bstrVal = SysAllocString(L"");
  EXPECT_FALSE(ValueOf(value).IsEmpty()) << "an empty text is still a value (a line)";
  VariantClear(&value);
  value.vt = VT_BSTR;
  value.bstrVal = SysAllocString(L"보고서 ✓");
  EXPECT_EQ(ValueOf(value).ToString(), "보고서 ✓");
  VariantClear(&value);
}

TEST(ExePiecesTest, UnixPathsAreWhatWineMapsThemTo) {
  // Wine maps "/" to drive Z: in every prefix it makes.
  EXPECT_EQ(NativePath("/tmp/가.txt"), "Z:\\tmp\\가.txt");
  EXPECT_EQ(NativePath("C:\\a\\..\\b.txt"), "C:\\b.txt");
}

TEST(ExePiecesTest, ALongKoreanPageIsReadAcrossTheConvertersPieces) {
  // Far more than one piece of the parser's input, with two-byte characters at every offset.
  std::string title;
  for (int i = 0; i < 3000; ++i) title += (i % 3 == 0) ? "a" : "한";
  const std::string html =
      "<html><head><meta charset=\"euc-kr\"></head><body><object>"
      "<param name=\"MainTitle\" value=\"" +
      title + "\"></object></body></html>";
  const std::string page = win32::Win32CodePage(949).Encode(html);
  const PageParams params = ReadPageParams(page, "long.html");
  ASSERT_EQ(params.size(), 1u);
  EXPECT_EQ(params[0].second, title);
}

}  // namespace
}  // namespace veldrask::host
