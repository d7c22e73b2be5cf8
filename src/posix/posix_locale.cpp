#include "posix/posix_locale.h"

#include <langinfo.h>
#include <locale.h>

#include <climits>

namespace veldrask::posix {
namespace {

// Owns a locale_t from newlocale.
class LocaleHandle {
 public:
  explicit LocaleHandle(const std::string& name)
      : handle_(::newlocale(LC_NUMERIC_MASK, name.c_str(), locale_t{})) {}
  ~LocaleHandle() {
    if (handle_ != locale_t{}) ::freelocale(handle_);
  }
  LocaleHandle(const LocaleHandle&) = delete;
  LocaleHandle& operator=(const LocaleHandle&) = delete;

  bool Valid() const { return handle_ != locale_t{}; }
  std::string Item(nl_item item) const { return ::nl_langinfo_l(item, handle_); }

 private:
  locale_t handle_;
};

// The size of the group nearest the decimal point; 0 when the locale does not group. Locales
// with groups of varying size (3 then 2) are shown with the first size throughout.
int FirstGroupSize(const std::string& grouping) {
  if (grouping.empty()) return 0;
  const auto size = static_cast<unsigned char>(grouping.front());
  return size == 0 || size == CHAR_MAX ? 0 : size;
}

}  // namespace

PosixLocale::PosixLocale(const std::string& localeName) {
  // The control's texts are Korean and its numbers are read like Korean ones: when the user's
  // locale says nothing about grouping (C/POSIX, a locale without a thousands separator, or
  // one that cannot be loaded), the Korean locale's "," every 3 digits with "." decimals is
  // used whole. Keeping such a locale's own decimal separator would mix conventions (a ","
  // decimal next to "," groups), so all three settings come from one source.
  const LocaleHandle locale(localeName);
  if (!locale.Valid()) return;
  const std::string separator = locale.Item(THOUSEP);
  const std::string decimal = locale.Item(RADIXCHAR);
  const int groupSize = FirstGroupSize(locale.Item(GROUPING));
  if (separator.empty() || decimal.empty() || groupSize == 0) return;
  style_.groupSeparator = separator;
  style_.decimalSeparator = decimal;
  style_.groupSize = groupSize;
  style_.leadingZero = true;
}

}  // namespace veldrask::posix
