// IObjectWithSite: the site a script host (cscript, a browser's script engine) gives.

#include "win32/com/uploader_object.h"

namespace veldrask::com {

HRESULT UploaderObject::SetSite(IUnknown* site) {
  objectSite_.Assign(site);
  return S_OK;
}

HRESULT UploaderObject::GetSite(REFIID riid, void** site) {
  if (site == nullptr) return E_POINTER;
  *site = nullptr;
  if (!objectSite_) return E_FAIL;
  return objectSite_->QueryInterface(riid, site);
}

}  // namespace veldrask::com
