// IQuickActivate: a container's one-call set-up (client site, sinks, status).

#include "win32/com/misc_status.h"
#include "win32/com/uploader_object.h"

namespace veldrask::com {

HRESULT UploaderObject::QuickActivate(QACONTAINER* container, QACONTROL* control) {
  if (container == nullptr || control == nullptr) return E_POINTER;
  if (container->cbSize < sizeof(QACONTAINER) || control->cbSize < sizeof(QACONTROL)) {
    return E_INVALIDARG;
  }
  SetClientSite(container->pClientSite);
  if (container->pAdviseSink != nullptr) {
    SetAdvise(DVASPECT_CONTENT, 0, container->pAdviseSink);
  }
  control->dwMiscStatus = kMiscStatus;
  control->dwViewStatus = 0;
  control->dwEventCookie = 0;
  control->dwPropNotifyCookie = 0;
  control->dwPointerActivationPolicy = 0;
  if (container->pUnkEventSink != nullptr) {
    events_.Advise(container->pUnkEventSink, &control->dwEventCookie);
  }
  if (container->pPropertyNotifySink != nullptr) {
    propertyNotifications_.Advise(container->pPropertyNotifySink, &control->dwPropNotifyCookie);
  }
  return S_OK;
}

HRESULT UploaderObject::SetContentExtent(LPSIZEL size) {
  return SetExtent(DVASPECT_CONTENT, size);
}

HRESULT UploaderObject::GetContentExtent(LPSIZEL size) {
  return GetExtent(DVASPECT_CONTENT, size);
}

}  // namespace veldrask::com
