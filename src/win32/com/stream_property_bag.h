#pragma once

// The control's properties in a stream (IPersistStreamInit): the names and values a save
// stores, as text, read back by a load. Values equal to their default are not stored.

#include <string>
#include <utility>
#include <vector>

#include "platform/host.h"
#include "win32/com/win32_headers.h"

namespace veldrask::com {

class StreamPropertyBag final : public PropertyBag {
 public:
  Variant Read(std::string_view name, const Variant& defaultValue) override;
  void Write(std::string_view name, const Variant& value, const Variant& defaultValue) override;

  HRESULT ReadFrom(IStream& stream);
  HRESULT WriteTo(IStream& stream) const;
  // The bytes WriteTo writes.
  ULONG StoredSize() const;

 private:
  std::vector<std::pair<std::string, std::string>> values_;
};

}  // namespace veldrask::com
