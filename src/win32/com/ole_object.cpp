// IOleObject: the client site, the verbs that activate the control in place, its extent
// and the container's advise sinks.

#include "veldrask_uploader.h"
#include "win32/com/misc_status.h"
#include "win32/com/uploader_object.h"

namespace veldrask::com {

HRESULT UploaderObject::SetClientSite(IOleClientSite* site) {
  clientSite_.Assign(site);
  return S_OK;
}

HRESULT UploaderObject::GetClientSite(IOleClientSite** site) {
  if (site == nullptr) return E_POINTER;
  if (clientSite_) clientSite_->AddRef();
  *site = clientSite_.Get();
  return S_OK;
}

HRESULT UploaderObject::SetHostNames(LPCOLESTR, LPCOLESTR) {
  return S_OK;
}

HRESULT UploaderObject::Close(DWORD) {
  // Nothing to save: a save stores nothing the container does not already have. A transfer
  // window still open goes as the user closes it.
  CloseModalWindows();
  if (inPlaceSite_) InPlaceDeactivate();
  if (adviseHolder_) adviseHolder_->SendOnClose();
  return S_OK;
}

HRESULT UploaderObject::SetMoniker(DWORD, IMoniker*) {
  return E_NOTIMPL;
}

HRESULT UploaderObject::GetMoniker(DWORD, DWORD, IMoniker** moniker) {
  if (moniker == nullptr) return E_POINTER;
  *moniker = nullptr;
  return E_NOTIMPL;
}

HRESULT UploaderObject::InitFromData(IDataObject*, BOOL, DWORD) {
  return E_NOTIMPL;
}

HRESULT UploaderObject::GetClipboardData(DWORD, IDataObject** data) {
  if (data == nullptr) return E_POINTER;
  *data = nullptr;
  return E_NOTIMPL;
}

HRESULT UploaderObject::DoVerb(LONG verb, LPMSG, IOleClientSite* activeSite, LONG, HWND, LPCRECT) {
  IOleClientSite* site = activeSite != nullptr ? activeSite : clientSite_.Get();
  switch (verb) {
    case OLEIVERB_PRIMARY:
    case OLEIVERB_SHOW:
    case OLEIVERB_UIACTIVATE:
      return ActivateInPlace(site, true);
    case OLEIVERB_INPLACEACTIVATE:
      return ActivateInPlace(site, false);
    case OLEIVERB_HIDE:
      if (inPlaceSite_) ShowWindow(window_, SW_HIDE);
      return S_OK;
    default:
      return verb < 0 ? E_NOTIMPL : OLEOBJ_S_INVALIDVERB;
  }
}

HRESULT UploaderObject::EnumVerbs(IEnumOLEVERB** verbs) {
  if (verbs == nullptr) return E_POINTER;
  *verbs = nullptr;
  return OLE_S_USEREG;
}

HRESULT UploaderObject::Update() {
  return S_OK;
}

HRESULT UploaderObject::IsUpToDate() {
  return S_OK;
}

HRESULT UploaderObject::GetUserClassID(CLSID* id) {
  if (id == nullptr) return E_POINTER;
  *id = CLSID_UploaderControl;
  return S_OK;
}

HRESULT UploaderObject::GetUserType(DWORD, LPOLESTR* type) {
  if (type == nullptr) return E_POINTER;
  *type = nullptr;
  return OLE_S_USEREG;
}

HRESULT UploaderObject::SetExtent(DWORD aspect, SIZEL* size) {
  if (size == nullptr) return E_POINTER;
  if (aspect != DVASPECT_CONTENT) return DV_E_DVASPECT;
  extent_ = *size;
  return S_OK;
}

HRESULT UploaderObject::GetExtent(DWORD aspect, SIZEL* size) {
  if (size == nullptr) return E_POINTER;
  if (aspect != DVASPECT_CONTENT) return DV_E_DVASPECT;
  *size = extent_;
  return S_OK;
}

HRESULT UploaderObject::Advise(IAdviseSink* sink, DWORD* connection) {
  if (sink == nullptr || connection == nullptr) return E_POINTER;
  if (!adviseHolder_) {
    const HRESULT hr = CreateOleAdviseHolder(adviseHolder_.Out());
    if (FAILED(hr)) return hr;
  }
  return adviseHolder_->Advise(sink, connection);
}

HRESULT UploaderObject::Unadvise(DWORD connection) {
  if (!adviseHolder_) return OLE_E_NOCONNECTION;
  return adviseHolder_->Unadvise(connection);
}

HRESULT UploaderObject::EnumAdvise(IEnumSTATDATA** advises) {
  if (advises == nullptr) return E_POINTER;
  *advises = nullptr;
  if (!adviseHolder_) return E_FAIL;
  return adviseHolder_->EnumAdvise(advises);
}

HRESULT UploaderObject::GetMiscStatus(DWORD aspect, DWORD* status) {
  if (status == nullptr) return E_POINTER;
  *status = aspect == DVASPECT_CONTENT ? kMiscStatus : 0;
  return S_OK;
}

HRESULT UploaderObject::SetColorScheme(LOGPALETTE*) {
  return E_NOTIMPL;
}

}  // namespace veldrask::com
