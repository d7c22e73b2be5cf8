#pragma once

// The page's <param>s as the control reads them: an IPropertyBag of name and text pairs.
// Names match without regard to case, as a browser matches them; a value is a BSTR unless
// the control asks for another type, which it gets by conversion. Writes are kept, so a
// control that saves itself into the bag can be read back.

#include <ocidl.h>
#include <windows.h>

#include <string>
#include <utility>
#include <vector>

#include "win32/com_object.h"

namespace veldrask::container {

class ParamBag final : public win32::ComObject<win32::PlainLifetime, IPropertyBag> {
 public:
  explicit ParamBag(std::vector<std::pair<std::wstring, std::wstring>> params)
      : params_(std::move(params)) {}

  const std::vector<std::pair<std::wstring, std::wstring>>& Params() const { return params_; }
  // The names the control asked for, present or not, in its order.
  const std::vector<std::wstring>& NamesRead() const { return namesRead_; }

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID id, void** object) override;
  HRESULT STDMETHODCALLTYPE Read(LPCOLESTR name, VARIANT* value, IErrorLog* log) override;
  HRESULT STDMETHODCALLTYPE Write(LPCOLESTR name, VARIANT* value) override;

 private:
  std::pair<std::wstring, std::wstring>* Find(LPCOLESTR name);

  std::vector<std::pair<std::wstring, std::wstring>> params_;
  std::vector<std::wstring> namesRead_;
};

}  // namespace veldrask::container
