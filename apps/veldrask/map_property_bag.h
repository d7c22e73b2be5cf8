#pragma once

#include <map>
#include <string>
#include <string_view>
#include <vector>

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

  // The names the control asked for, in its order; the last one is where a load that
  // failed stopped.
  const std::vector<std::string>& NamesRead() const { return namesRead_; }
  // The value stored under name, as text; empty when there is none.
  std::string Text(std::string_view name) const;

  Variant Read(std::string_view name, const Variant& defaultValue) override;
  void Write(std::string_view name, const Variant& value, const Variant& defaultValue) override;

 private:
  std::map<std::string, Variant> values_;  // by upper-case name
  std::vector<std::string> namesRead_;
};

}  // namespace veldrask::host
