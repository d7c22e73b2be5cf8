// IViewObject2: the control draws its window's picture (its surface) into the container's
// device context.

#include "win32/com/uploader_object.h"

namespace veldrask::com {

HRESULT UploaderObject::Draw(DWORD aspect, LONG, void*, DVTARGETDEVICE*, HDC, HDC draw,
                             LPCRECTL bounds, LPCRECTL, BOOL(STDMETHODCALLTYPE*)(ULONG_PTR),
                             ULONG_PTR) {
  if (aspect != DVASPECT_CONTENT) return DV_E_DVASPECT;
  if (draw == nullptr || bounds == nullptr) return E_INVALIDARG;
  const RECT area{bounds->left, bounds->top, bounds->right, bounds->bottom};
  const int saved = SaveDC(draw);
  SetViewportOrgEx(draw, area.left, area.top, nullptr);
  IntersectClipRect(draw, 0, 0, area.right - area.left, area.bottom - area.top);
  SendMessageW(window_, WM_PRINT, reinterpret_cast<WPARAM>(draw),
               PRF_CLIENT | PRF_CHILDREN | PRF_ERASEBKGND | PRF_NONCLIENT);
  RestoreDC(draw, saved);
  return S_OK;
}

HRESULT UploaderObject::GetColorSet(DWORD, LONG, void*, DVTARGETDEVICE*, HDC, LOGPALETTE** colors) {
  if (colors == nullptr) return E_POINTER;
  *colors = nullptr;
  return S_FALSE;
}

HRESULT UploaderObject::Freeze(DWORD, LONG, void*, DWORD*) {
  return E_NOTIMPL;
}

HRESULT UploaderObject::Unfreeze(DWORD) {
  return E_NOTIMPL;
}

HRESULT UploaderObject::SetAdvise(DWORD aspects, DWORD flags, IAdviseSink* sink) {
  viewSink_.Assign(sink);
  viewAspects_ = aspects;
  viewFlags_ = flags;
  return S_OK;
}

HRESULT UploaderObject::GetAdvise(DWORD* aspects, DWORD* flags, IAdviseSink** sink) {
  if (aspects != nullptr) *aspects = viewAspects_;
  if (flags != nullptr) *flags = viewFlags_;
  if (sink != nullptr) {
    if (viewSink_) viewSink_->AddRef();
    *sink = viewSink_.Get();
  }
  return S_OK;
}

HRESULT UploaderObject::GetExtent(DWORD aspect, LONG, DVTARGETDEVICE*, LPSIZEL size) {
  return GetExtent(aspect, size);
}

}  // namespace veldrask::com
