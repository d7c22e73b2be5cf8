#include "win32/com/com_error.h"

#include "win32/com/bstr_text.h"

namespace veldrask::com {
namespace {

constexpr char kErrorSource[] = "VeldraskUploader.UploaderControl";

}  // namespace

HRESULT ErrorResult(const Error& error) {
  // The scripting hosts' form: the error number in the low word under FACILITY_CONTROL.
  const auto number = static_cast<DWORD>(error.Number()) & 0xFFFFu;
  return MAKE_HRESULT(SEVERITY_ERROR, FACILITY_CONTROL, number);
}

void FillExceptionInfo(const Error& error, EXCEPINFO& info) {
  info = EXCEPINFO{};
  info.scode = ErrorResult(error);
  try {
    info.bstrSource = BstrFromUtf8(kErrorSource);
    info.bstrDescription = BstrFromUtf8(error.Description());
  } catch (const std::bad_alloc&) {
    // The number alone still reaches the script.
  }
}

}  // namespace veldrask::com
