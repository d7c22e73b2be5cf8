#include "win32/container/client_site.h"

#include <olectl.h>

#include "win32/container/named_dispatch.h"

namespace veldrask::container {

HRESULT InPlaceFrame::QueryInterface(REFIID id, void** object) {
  return win32::AnswerQuery(id, object,
                            {{&IID_IOleInPlaceFrame, static_cast<IOleInPlaceFrame*>(this)},
                             {&IID_IOleInPlaceUIWindow, static_cast<IOleInPlaceUIWindow*>(this)},
                             {&IID_IOleWindow, static_cast<IOleWindow*>(this)}});
}

HRESULT InPlaceFrame::GetWindow(HWND* window) {
  if (window == nullptr) return E_POINTER;
  *window = window_;
  return S_OK;
}

ClientSite::ClientSite(HWND window, PageDocument& document)
    : window_(window), document_(document), frame_(new InPlaceFrame(window)) {
  document_.AddRef();
}

ClientSite::~ClientSite() {
  frame_->Release();
  document_.Release();
}

HRESULT ClientSite::QueryInterface(REFIID id, void** object) {
  return win32::AnswerQuery(id, object,
                            {{&IID_IOleClientSite, static_cast<IOleClientSite*>(this)},
                             {&IID_IOleInPlaceSite, static_cast<IOleInPlaceSite*>(this)},
                             {&IID_IOleWindow, static_cast<IOleWindow*>(this)},
                             {&IID_IDispatch, static_cast<IDispatch*>(this)}});
}

HRESULT ClientSite::GetContainer(IOleContainer** container) {
  if (container == nullptr) return E_POINTER;
  *container = &document_;
  document_.AddRef();
  return S_OK;
}

HRESULT ClientSite::GetWindow(HWND* window) {
  if (window == nullptr) return E_POINTER;
  *window = window_;
  return S_OK;
}

HRESULT ClientSite::OnInPlaceActivate() {
  inPlaceActive_ = true;
  return S_OK;
}

HRESULT ClientSite::OnInPlaceDeactivate() {
  inPlaceActive_ = false;
  return S_OK;
}

HRESULT ClientSite::GetWindowContext(IOleInPlaceFrame** frame, IOleInPlaceUIWindow** document,
                                     LPRECT position, LPRECT clip, LPOLEINPLACEFRAMEINFO info) {
  if (frame == nullptr || document == nullptr || position == nullptr || clip == nullptr ||
      info == nullptr) {
    return E_POINTER;
  }
  *frame = frame_;
  frame_->AddRef();
  *document = nullptr;
  *position = place_;
  GetClientRect(window_, clip);
  info->fMDIApp = FALSE;
  info->hwndFrame = window_;
  info->haccel = nullptr;
  info->cAccelEntries = 0;
  return S_OK;
}

HRESULT ClientSite::OnPosRectChange(LPCRECT place) {
  if (place == nullptr) return E_POINTER;
  place_ = *place;
  return S_OK;
}

HRESULT ClientSite::GetTypeInfoCount(UINT* count) {
  if (count == nullptr) return E_POINTER;
  *count = 0;
  return S_OK;
}

HRESULT ClientSite::Invoke(DISPID id, REFIID, LCID, WORD flags, DISPPARAMS*, VARIANT* result,
                           EXCEPINFO*, UINT*) {
  if ((flags & DISPATCH_PROPERTYGET) == 0) return DISP_E_MEMBERNOTFOUND;
  if (result == nullptr) return E_POINTER;
  VariantInit(result);
  switch (id) {
    case DISPID_AMBIENT_USERMODE:
      result->vt = VT_BOOL;
      result->boolVal = VARIANT_TRUE;
      return S_OK;
    case DISPID_AMBIENT_UIDEAD:
    case DISPID_AMBIENT_SHOWHATCHING:
    case DISPID_AMBIENT_SHOWGRABHANDLES:
    case DISPID_AMBIENT_MESSAGEREFLECT:
      result->vt = VT_BOOL;
      result->boolVal = VARIANT_FALSE;
      return S_OK;
    case DISPID_AMBIENT_LOCALEID:
      result->vt = VT_I4;
      result->lVal = static_cast<LONG>(GetUserDefaultLCID());
      return S_OK;
    case DISPID_AMBIENT_DISPLAYNAME:
      return ReturnText(L"UploaderControl", result);
    default:
      return DISP_E_MEMBERNOTFOUND;
  }
}

}  // namespace veldrask::container
