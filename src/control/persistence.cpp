// Loading, initialising and saving the persisted properties.

#include <array>
#include <string_view>

#include "base/error.h"
#include "control/uploader_control.h"

namespace veldrask {
namespace {

struct PersistedProperty {
  std::string_view name;
  Variant (*read)(const UploaderControl&);
  void (*write)(UploaderControl&, const Variant&);
};

// The persisted properties, in the order they are loaded and saved.
const std::array<PersistedProperty, 14> kPersisted = {{
    {"MaxFileCount", [](const UploaderControl& c) { return Variant(c.MaxFileCount()); },
     [](UploaderControl& c, const Variant& v) { c.SetMaxFileCount(v.ToInt16()); }},
    {"MaxFileSize", [](const UploaderControl& c) { return Variant(c.MaxFileSize()); },
     [](UploaderControl& c, const Variant& v) { c.SetMaxFileSize(v.ToInt32()); }},
    {"UnitFileSize", [](const UploaderControl& c) { return Variant(c.UnitFileSize()); },
     [](UploaderControl& c, const Variant& v) { c.SetUnitFileSize(v.ToInt32()); }},
    {"MainTitle", [](const UploaderControl& c) { return Variant(c.MainTitle()); },
     [](UploaderControl& c, const Variant& v) { c.SetMainTitle(v.ToString()); }},
    {"HostName", [](const UploaderControl& c) { return Variant(c.HostName()); },
     [](UploaderControl& c, const Variant& v) { c.SetHostName(v.ToString()); }},
    {"ActionURL", [](const UploaderControl& c) { return Variant(c.ActionURL()); },
     [](UploaderControl& c, const Variant& v) { c.SetActionURL(v.ToString()); }},
    {"ReturnURL", [](const UploaderControl& c) { return Variant(c.ReturnURL()); },
     [](UploaderControl& c, const Variant& v) { c.SetReturnURL(v.ToString()); }},
    {"ServerPort", [](const UploaderControl& c) { return Variant(c.ServerPort()); },
     [](UploaderControl& c, const Variant& v) { c.SetServerPort(v.ToInt16()); }},
    {"FilePrefix", [](const UploaderControl& c) { return Variant(c.FilePrefix()); },
     [](UploaderControl& c, const Variant& v) { c.SetFilePrefix(v.ToString()); }},
    {"PaddingZero", [](const UploaderControl& c) { return Variant(c.PaddingZero()); },
     [](UploaderControl& c, const Variant& v) { c.SetPaddingZero(v.ToString()); }},
    {"BufferSize", [](const UploaderControl& c) { return Variant(c.BufferSize()); },
     [](UploaderControl& c, const Variant& v) { c.SetBufferSize(v.ToInt32()); }},
    {"UpDownload", [](const UploaderControl& c) { return Variant(c.UpDownload()); },
     [](UploaderControl& c, const Variant& v) { c.SetUpDownload(v.ToString()); }},
    {"ExcludeFileExtension",
     [](const UploaderControl& c) { return Variant(c.ExcludeFileExtension()); },
     [](UploaderControl& c, const Variant& v) { c.SetExcludeFileExtension(v.ToString()); }},
    {"Charset", [](const UploaderControl& c) { return Variant(c.Charset()); },
     [](UploaderControl& c, const Variant& v) { c.SetCharset(v.ToString()); }},
}};

const PersistedProperty& Persisted(std::string_view name) {
  for (const PersistedProperty& property : kPersisted) {
    if (property.name == name) return property;
  }
  throw Error(ErrorNumber::kMemberNotFound);
}

}  // namespace

void UploaderControl::Load(PropertyBag& bag) {
  // A value that does not convert ends the load; the properties before it stay assigned.
  for (const PersistedProperty& property : kPersisted) {
    property.write(*this, bag.Read(property.name, property.read(*this)));
  }
}

void UploaderControl::InitNew() {
  // Every property but MainTitle, so the captions keep the engine title alone.
  static constexpr std::array<std::string_view, 13> kOrder = {
      "MaxFileCount", "MaxFileSize",          "UnitFileSize", "HostName",    "ActionURL",
      "ReturnURL",    "ServerPort",           "FilePrefix",   "PaddingZero", "BufferSize",
      "UpDownload",   "ExcludeFileExtension", "Charset"};
  for (const std::string_view name : kOrder) {
    const PersistedProperty& property = Persisted(name);
    property.write(*this, property.read(*this));
  }
}

void UploaderControl::Save(PropertyBag& bag) const {
  // Each value is written with itself as the default, so nothing is stored.
  for (const PersistedProperty& property : kPersisted) {
    const Variant value = property.read(*this);
    bag.Write(property.name, value, value);
  }
}

}  // namespace veldrask
