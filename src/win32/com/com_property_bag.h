#pragma once

// The container's IPropertyBag (a page's <param>s) as the core's PropertyBag.

#include <string>

#include "platform/host.h"
#include "win32/com/win32_headers.h"

namespace veldrask::com {

class ComPropertyBag final : public PropertyBag {
 public:
  ComPropertyBag(IPropertyBag& bag, IErrorLog* log) : bag_(bag), log_(log) {}

  Variant Read(std::string_view name, const Variant& defaultValue) override;
  void Write(std::string_view name, const Variant& value, const Variant& defaultValue) override;

  // The name read last: a load that fails, fails on its value.
  const std::string& LastRead() const { return lastRead_; }

 private:
  IPropertyBag& bag_;
  IErrorLog* log_;
  std::string lastRead_;
};

}  // namespace veldrask::com
