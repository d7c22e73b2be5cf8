#include "map_property_bag.h"

#include "base/text.h"

namespace veldrask::host {

MapPropertyBag::MapPropertyBag(const PageParams& params) {
  for (const auto& [name, value] : params) Set(name, value);
}

void MapPropertyBag::Set(std::string_view name, std::string value) {
  values_[ToUpperAscii(name)] = Variant(std::move(value));
}

std::string MapPropertyBag::Text(std::string_view name) const {
  const auto found = values_.find(ToUpperAscii(name));
  return found == values_.end() ? std::string() : found->second.ToString();
}

Variant MapPropertyBag::Read(std::string_view name, const Variant& defaultValue) {
  namesRead_.emplace_back(name);
  const auto found = values_.find(ToUpperAscii(name));
  return found == values_.end() ? defaultValue : found->second;
}

void MapPropertyBag::Write(std::string_view name, const Variant& value,
                           const Variant& defaultValue) {
  if (value == defaultValue) return;  // the container keeps only what differs from the default
  values_[ToUpperAscii(name)] = value;
}

}  // namespace veldrask::host
