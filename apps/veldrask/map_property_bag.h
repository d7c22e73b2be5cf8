#pragma once

#include <map>
#include <string>
#include <string_view>

#include "page_params.h"
#include "platform/host.h"

namespace veldrask::host {

// A property bag over the page's parameters. Names are matched without regard to letter
// case, as the browser hands object parameters to a control.
class MapPropertyBag : public PropertyBag {
 public:
  MapPropertyBag() = default;
  explicit MapPropertyBag(const PageParams& params);

  // Adds or replaces a value.
  void Set(std::string_view name, std::string value);
  bool Empty() const { return values_.empty(); }
  std::size_t Size() const { return values_.size(); }

  Variant Read(std::string_view name, const Variant& defaultValue) override;
  void Write(std::string_view name, const Variant& value, const Variant& defaultValue) override;

 private:
  std::map<std::string, Variant> values_;  // by upper-case name
};

}  // namespace veldrask::host
