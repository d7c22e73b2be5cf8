// IPersistPropertyBag: the page's <param>s load through the properties' writers; a save
// stores what the core's persistence writes. InitNew serves both persistence interfaces.

#include "veldrask_uploader.h"
#include "win32/com/bstr_text.h"
#include "win32/com/com_error.h"
#include "win32/com/com_property_bag.h"
#include "win32/com/uploader_object.h"

namespace veldrask::com {
namespace {

// Tells the container's error log which property ended the load.
void LogLoadError(IErrorLog* log, const std::string& name, const Error& error) {
  if (log == nullptr) return;
  EXCEPINFO info;
  FillExceptionInfo(error, info);
  const std::wstring wide = WideFromUtf8(name);
  log->AddError(wide.c_str(), &info);
  SysFreeString(info.bstrSource);
  SysFreeString(info.bstrDescription);
  SysFreeString(info.bstrHelpFile);
}

}  // namespace

HRESULT UploaderObject::GetClassID(CLSID* id) {
  if (id == nullptr) return E_POINTER;
  *id = CLSID_UploaderControl;
  return S_OK;
}

HRESULT UploaderObject::InitNew() {
  if (initialised_) return CO_E_ALREADYINITIALIZED;
  initialised_ = true;
  return ComCall([this] {
    control_->InitNew();
    return S_OK;
  });
}

HRESULT UploaderObject::Load(IPropertyBag* bag, IErrorLog* log) {
  if (bag == nullptr) return E_POINTER;
  if (initialised_) return CO_E_ALREADYINITIALIZED;
  initialised_ = true;
  ComPropertyBag adapter(*bag, log);
  return ComCall([&] {
    try {
      control_->Load(adapter);
    } catch (const Error& error) {
      // The properties before it stay assigned; the rest keep their start-up values.
      LogLoadError(log, adapter.LastRead(), error);
      throw;
    }
    return S_OK;
  });
}

HRESULT UploaderObject::Save(IPropertyBag* bag, BOOL, BOOL) {
  if (bag == nullptr) return E_POINTER;
  ComPropertyBag adapter(*bag, nullptr);
  return ComCall([&] {
    control_->Save(adapter);
    return S_OK;
  });
}

}  // namespace veldrask::com
