#pragma once

#include <string>
#include <string_view>

#include "base/variant.h"

namespace veldrask {

// The container's store of a control's properties (for a web page: its object parameters).
class PropertyBag {
 public:
  virtual ~PropertyBag() = default;
  // The value stored under name, or defaultValue when there is none.
  virtual Variant Read(std::string_view name, const Variant& defaultValue) = 0;
  // Stores value under name; a value equal to defaultValue is not stored.
  virtual void Write(std::string_view name, const Variant& value, const Variant& defaultValue) = 0;
};

// The web document that hosts the control.
class Document {
 public:
  virtual ~Document() = default;
  virtual std::string Cookie() = 0;
  virtual void SetLocation(const std::string& url) = 0;
};

// What the container gives each control instance.
class Host {
 public:
  virtual ~Host() = default;
  // The container's property-changed notification.
  virtual void PropertyChanged(std::string_view name) = 0;
  // The hosting document, or null when the control is not inside a web document.
  virtual Document* HostDocument() = 0;
};

}  // namespace veldrask
