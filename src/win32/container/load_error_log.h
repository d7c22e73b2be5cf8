#pragma once

// What the control reports when the page's <param>s do not load: it names the parameter that
// ended the load in the container's error log, with the error as a script would see it.

#include <ocidl.h>
#include <windows.h>

#include <cstdint>
#include <optional>
#include <string>

#include "win32/com_object.h"
#include "win32/container/dispatch_call.h"

namespace veldrask::container {

// IPersistPropertyBag::Load failed on the parameter name.
class ParamLoadError : public MemberError {
 public:
  ParamLoadError(std::string name, std::int32_t number, std::string description)
      : MemberError(number, std::move(description)), name_(std::move(name)) {}
  const std::string& Name() const { return name_; }

 private:
  std::string name_;
};

class LoadErrorLog final : public win32::ComObject<win32::PlainLifetime, IErrorLog> {
 public:
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID id, void** object) override;
  HRESULT STDMETHODCALLTYPE AddError(LPCOLESTR name, EXCEPINFO* info) override;

  // The last error logged, if any: the control logs the error that ended the load after
  // whatever the bag itself logged of the conversion.
  const std::optional<ParamLoadError>& Last() const { return last_; }

 private:
  std::optional<ParamLoadError> last_;
};

}  // namespace veldrask::container
