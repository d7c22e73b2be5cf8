// In-place activation for IOleObject::DoVerb: the control's window inside the container's,
// and UI activation through the container's frame.

#include "win32/com/control_window.h"
#include "win32/com/uploader_object.h"

namespace veldrask::com {
HRESULT UploaderObject::ActivateInPlace(IOleClientSite* site, bool uiActivate) {
  if (site == nullptr) return E_UNEXPECTED;
  if (!inPlaceSite_) {
    win32::ComPtr<IOleInPlaceSite> inPlace;
    if (FAILED(site->QueryInterface(IID_IOleInPlaceSite, inPlace.OutVoid()))) {
      return E_NOINTERFACE;
    }
    if (inPlace->CanInPlaceActivate() != S_OK) return E_FAIL;
    inPlace->OnInPlaceActivate();
    inPlaceSite_ = std::move(inPlace);
  }

  HWND parent = nullptr;
  if (FAILED(inPlaceSite_->GetWindow(&parent)) || parent == nullptr) return E_FAIL;
  frame_.Reset();
  uiWindow_.Reset();
  RECT position{};
  RECT clip{};
  OLEINPLACEFRAMEINFO frameInfo{};
  frameInfo.cb = sizeof frameInfo;
  if (FAILED(inPlaceSite_->GetWindowContext(frame_.Out(), uiWindow_.Out(), &position, &clip,
                                            &frameInfo))) {
    return E_FAIL;
  }

  PlaceControlWindow(window_, parent, position);

  if (uiActivate && !uiActive_) {
    uiActive_ = true;
    inPlaceSite_->OnUIActivate();
    SetFocus(window_);
    if (frame_) {
      frame_->SetActiveObject(this, L"UploaderControl");
      frame_->SetBorderSpace(nullptr);
    }
    if (uiWindow_) {
      uiWindow_->SetActiveObject(this, L"UploaderControl");
      uiWindow_->SetBorderSpace(nullptr);
    }
  }
  if (clientSite_) clientSite_->ShowObject();
  return S_OK;
}

HRESULT UploaderObject::DeactivateUi() {
  if (!uiActive_) return S_OK;
  uiActive_ = false;
  if (uiWindow_) uiWindow_->SetActiveObject(nullptr, nullptr);
  if (frame_) frame_->SetActiveObject(nullptr, nullptr);
  if (inPlaceSite_) inPlaceSite_->OnUIDeactivate(FALSE);
  return S_OK;
}

HRESULT UploaderObject::InPlaceDeactivate() {
  if (!inPlaceSite_) return S_OK;
  DeactivateUi();
  ParkControlWindow(window_);
  frame_.Reset();
  uiWindow_.Reset();
  // Let go first: the site may call back into the object while it deactivates.
  const win32::ComPtr<IOleInPlaceSite> site = std::move(inPlaceSite_);
  site->OnInPlaceDeactivate();
  return S_OK;
}

}  // namespace veldrask::com
