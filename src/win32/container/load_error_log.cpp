#include "win32/container/load_error_log.h"

#include "win32/wide_text.h"

namespace veldrask::container {

HRESULT LoadErrorLog::QueryInterface(REFIID id, void** object) {
  return win32::AnswerQuery(id, object, {{&IID_IErrorLog, static_cast<IErrorLog*>(this)}});
}

HRESULT LoadErrorLog::AddError(LPCOLESTR name, EXCEPINFO* info) {
  if (name == nullptr) return S_OK;
  std::int32_t number = 0;
  std::string description;
  if (info != nullptr) {
    if (info->pfnDeferredFillIn != nullptr) info->pfnDeferredFillIn(info);
    number = info->scode != 0 ? static_cast<std::int32_t>(info->scode) : info->wCode;
    if (info->bstrDescription != nullptr) {
      description = win32::Narrow({info->bstrDescription, SysStringLen(info->bstrDescription)});
    }
  }
  last_.emplace(win32::Narrow(name), number, std::move(description));
  return S_OK;
}

}  // namespace veldrask::container
