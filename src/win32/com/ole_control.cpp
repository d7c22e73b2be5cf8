// IOleControl: no mnemonics and no events, so there is nothing to freeze.

#include "win32/com/uploader_object.h"

namespace veldrask::com {

HRESULT UploaderObject::GetControlInfo(CONTROLINFO* info) {
  if (info == nullptr) return E_POINTER;
  info->hAccel = nullptr;
  info->cAccel = 0;
  info->dwFlags = 0;
  return S_OK;
}

HRESULT UploaderObject::OnMnemonic(MSG*) {
  return E_NOTIMPL;
}

HRESULT UploaderObject::OnAmbientPropertyChange(DISPID) {
  return S_OK;
}

HRESULT UploaderObject::FreezeEvents(BOOL) {
  return S_OK;
}

}  // namespace veldrask::com
