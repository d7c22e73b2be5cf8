#include "win32/win32_locale.h"

#include <string>

#include "win32/wide_text.h"
#include "win32/windows_api.h"

namespace veldrask::win32 {
namespace {

// One setting of the user's locale; "" when the system has none.
std::wstring UserSetting(LCTYPE item) {
  wchar_t buffer[LOCALE_NAME_MAX_LENGTH];
  const int length =
      GetLocaleInfoEx(LOCALE_NAME_USER_DEFAULT, item, buffer, LOCALE_NAME_MAX_LENGTH);
  return length > 1 ? std::wstring(buffer, static_cast<std::size_t>(length - 1)) : L"";
}

// "3;0" (groups of 3), "3;2;0" (3 then 2: shown with 3 throughout), "0" (no grouping).
int FirstGroupSize(const std::wstring& grouping) {
  if (grouping.empty() || grouping.front() < L'1' || grouping.front() > L'9') return 0;
  return grouping.front() - L'0';
}

}  // namespace

Win32Locale::Win32Locale() {
  const std::wstring separator = UserSetting(LOCALE_STHOUSAND);
  const std::wstring decimal = UserSetting(LOCALE_SDECIMAL);
  const std::wstring grouping = UserSetting(LOCALE_SGROUPING);
  const std::wstring leadingZero = UserSetting(LOCALE_ILZERO);
  // Without a complete answer the defaults (the Korean settings) stand, as on POSIX.
  if (decimal.empty() || grouping.empty()) return;
  style_.groupSeparator = Narrow(separator);
  style_.decimalSeparator = Narrow(decimal);
  style_.groupSize = FirstGroupSize(grouping);
  style_.leadingZero = leadingZero != L"0";
}

}  // namespace veldrask::win32
