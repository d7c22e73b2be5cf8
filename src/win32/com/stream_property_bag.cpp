#include "win32/com/stream_property_bag.h"

#include <cstdint>

namespace veldrask::com {
namespace {

// Each entry: name length, name, value length, value (UTF-8), after a count of entries.
// A sanity limit keeps a damaged stream from asking for gigabytes.
constexpr std::uint32_t kMaxText = 1u << 20;

HRESULT ReadExactly(IStream& stream, void* data, ULONG size) {
  ULONG read = 0;
  const HRESULT hr = stream.Read(data, size, &read);
  if (FAILED(hr)) return hr;
  return read == size ? S_OK : STG_E_READFAULT;
}

HRESULT ReadText(IStream& stream, std::string& text) {
  std::uint32_t length = 0;
  HRESULT hr = ReadExactly(stream, &length, sizeof length);
  if (FAILED(hr)) return hr;
  if (length > kMaxText) return STG_E_READFAULT;
  text.resize(length);
  return length == 0 ? S_OK : ReadExactly(stream, text.data(), length);
}

HRESULT WriteExactly(IStream& stream, const void* data, ULONG size) {
  ULONG written = 0;
  const HRESULT hr = stream.Write(data, size, &written);
  if (FAILED(hr)) return hr;
  return written == size ? S_OK : STG_E_WRITEFAULT;
}

HRESULT WriteText(IStream& stream, const std::string& text) {
  const auto length = static_cast<std::uint32_t>(text.size());
  const HRESULT hr = WriteExactly(stream, &length, sizeof length);
  return FAILED(hr) || length == 0 ? hr : WriteExactly(stream, text.data(), length);
}

}  // namespace

Variant StreamPropertyBag::Read(std::string_view name, const Variant& defaultValue) {
  for (const auto& [storedName, value] : values_) {
    if (storedName == name) return Variant(value);
  }
  return defaultValue;
}

void StreamPropertyBag::Write(std::string_view name, const Variant& value,
                              const Variant& defaultValue) {
  if (value == defaultValue) return;
  values_.emplace_back(std::string(name), value.ToString());
}

HRESULT StreamPropertyBag::ReadFrom(IStream& stream) {
  std::uint32_t count = 0;
  HRESULT hr = ReadExactly(stream, &count, sizeof count);
  if (FAILED(hr)) return hr;
  if (count > kMaxText) return STG_E_READFAULT;
  for (std::uint32_t i = 0; i < count; ++i) {
    std::string name;
    std::string value;
    hr = ReadText(stream, name);
    if (SUCCEEDED(hr)) hr = ReadText(stream, value);
    if (FAILED(hr)) return hr;
    values_.emplace_back(std::move(name), std::move(value));
  }
  return S_OK;
}

HRESULT StreamPropertyBag::WriteTo(IStream& stream) const {
  const auto count = static_cast<std::uint32_t>(values_.size());
  HRESULT hr = WriteExactly(stream, &count, sizeof count);
  for (const auto& [name, value] : values_) {
    if (SUCCEEDED(hr)) hr = WriteText(stream, name);
    if (SUCCEEDED(hr)) hr = WriteText(stream, value);
  }
  return hr;
}

ULONG StreamPropertyBag::StoredSize() const {
  ULONG size = sizeof(std::uint32_t);
  for (const auto& [name, value] : values_) {
    size += static_cast<ULONG>(2 * sizeof(std::uint32_t) + name.size() + value.size());
  }
  return size;
}

}  // namespace veldrask::com
