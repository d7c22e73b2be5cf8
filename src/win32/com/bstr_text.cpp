#include "win32/com/bstr_text.h"

#include <new>

namespace veldrask::com {

std::string Utf8FromWide(const wchar_t* text, std::size_t length) {
  if (length == 0) return {};
  const int wideLength = static_cast<int>(length);
  const int size = WideCharToMultiByte(CP_UTF8, 0, text, wideLength, nullptr, 0, nullptr, nullptr);
  std::string result(static_cast<std::size_t>(size), '\0');
  WideCharToMultiByte(CP_UTF8, 0, text, wideLength, result.data(), size, nullptr, nullptr);
  return result;
}

std::string Utf8FromBstr(BSTR text) {
  return text == nullptr ? std::string() : Utf8FromWide(text, SysStringLen(text));
}

std::wstring WideFromUtf8(std::string_view text) {
  if (text.empty()) return {};
  const int length = static_cast<int>(text.size());
  const int size = MultiByteToWideChar(CP_UTF8, 0, text.data(), length, nullptr, 0);
  std::wstring result(static_cast<std::size_t>(size), L'\0');
  MultiByteToWideChar(CP_UTF8, 0, text.data(), length, result.data(), size);
  return result;
}

BSTR BstrFromUtf8(std::string_view text) {
  const std::wstring wide = WideFromUtf8(text);
  BSTR result = SysAllocStringLen(wide.data(), static_cast<UINT>(wide.size()));
  if (result == nullptr) throw std::bad_alloc();
  return result;
}

}  // namespace veldrask::com
