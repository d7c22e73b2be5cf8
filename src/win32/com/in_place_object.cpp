// IOleInPlaceObject (and IOleWindow for both in-place interfaces).

#include "win32/com/uploader_object.h"

namespace veldrask::com {

HRESULT UploaderObject::GetWindow(HWND* window) {
  if (window == nullptr) return E_POINTER;
  // The window is the container's to know only while the control is active in place.
  *window = inPlaceSite_ ? window_ : nullptr;
  return *window != nullptr ? S_OK : E_FAIL;
}

HRESULT UploaderObject::ContextSensitiveHelp(BOOL) {
  return E_NOTIMPL;
}

HRESULT UploaderObject::UIDeactivate() {
  return DeactivateUi();
}

HRESULT UploaderObject::SetObjectRects(LPCRECT position, LPCRECT) {
  if (position == nullptr) return E_POINTER;
  if (inPlaceSite_) {
    MoveWindow(window_, position->left, position->top, position->right - position->left,
               position->bottom - position->top, TRUE);
  }
  return S_OK;
}

HRESULT UploaderObject::ReactivateAndUndo() {
  return E_NOTIMPL;
}

}  // namespace veldrask::com
