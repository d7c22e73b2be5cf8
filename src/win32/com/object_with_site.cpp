// IObjectWithSite: the site a script host (cscript, a browser's script engine) gives.

#include "com_pointer.h"
#include "uploader_object.h"

namespace veldrask::com {

HRESULT UploaderObject::SetSite(IUnknown* site) {
  Replace(objectSite_, site);
  return S_OK;
}

HRESULT UploaderObject::GetSite(REFIID riid, void** site) {
  if (site == nullptr) return E_POINTER;
  *site = nullptr;
  if (objectSite_ == nullptr) return E_FAIL;
  return objectSite_->QueryInterface(riid, site);
}

}  // namespace veldrask::com
