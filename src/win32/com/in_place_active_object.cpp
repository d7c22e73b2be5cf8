// IOleInPlaceActiveObject: keyboard navigation among the control's own child windows.

#include "win32/com/uploader_object.h"

namespace veldrask::com {

HRESULT UploaderObject::TranslateAccelerator(LPMSG message) {
  if (message == nullptr) return E_POINTER;
  if (!inPlaceSite_ || message->message < WM_KEYFIRST || message->message > WM_KEYLAST) {
    return S_FALSE;
  }
  return IsDialogMessageW(window_, message) ? S_OK : S_FALSE;
}

HRESULT UploaderObject::OnFrameWindowActivate(BOOL) {
  return S_OK;
}

HRESULT UploaderObject::OnDocWindowActivate(BOOL) {
  return S_OK;
}

HRESULT UploaderObject::ResizeBorder(LPCRECT, IOleInPlaceUIWindow*, BOOL) {
  return S_OK;
}

HRESULT UploaderObject::EnableModeless(BOOL) {
  return S_OK;
}

}  // namespace veldrask::com
