// In-place activation for IOleObject::DoVerb: the control's window inside the container's,
// and UI activation through the container's frame.

#include "com_pointer.h"
#include "control_window.h"
#include "uploader_object.h"

namespace veldrask::com {
HRESULT UploaderObject::ActivateInPlace(IOleClientSite* site, bool uiActivate) {
  if (site == nullptr) return E_UNEXPECTED;
  if (inPlaceSite_ == nullptr) {
    IOleInPlaceSite* inPlace = nullptr;
    if (FAILED(site->QueryInterface(IID_IOleInPlaceSite, reinterpret_cast<void**>(&inPlace)))) {
      return E_NOINTERFACE;
    }
    if (inPlace->CanInPlaceActivate() != S_OK) {
      inPlace->Release();
      return E_FAIL;
    }
    inPlace->OnInPlaceActivate();
    inPlaceSite_ = inPlace;
  }

  HWND parent = nullptr;
  if (FAILED(inPlaceSite_->GetWindow(&parent)) || parent == nullptr) return E_FAIL;
  ReleaseAndClear(frame_);
  ReleaseAndClear(uiWindow_);
  RECT position{};
  RECT clip{};
  OLEINPLACEFRAMEINFO frameInfo{};
  frameInfo.cb = sizeof frameInfo;
  if (FAILED(inPlaceSite_->GetWindowContext(&frame_, &uiWindow_, &position, &clip, &frameInfo))) {
    return E_FAIL;
  }

  PlaceControlWindow(window_, parent, position);

  if (uiActivate && !uiActive_) {
    uiActive_ = true;
    inPlaceSite_->OnUIActivate();
    SetFocus(window_);
    if (frame_ != nullptr) {
      frame_->SetActiveObject(this, L"UploaderControl");
      frame_->SetBorderSpace(nullptr);
    }
    if (uiWindow_ != nullptr) {
      uiWindow_->SetActiveObject(this, L"UploaderControl");
      uiWindow_->SetBorderSpace(nullptr);
    }
  }
  if (clientSite_ != nullptr) clientSite_->ShowObject();
  return S_OK;
}

HRESULT UploaderObject::DeactivateUi() {
  if (!uiActive_) return S_OK;
  uiActive_ = false;
  if (uiWindow_ != nullptr) uiWindow_->SetActiveObject(nullptr, nullptr);
  if (frame_ != nullptr) frame_->SetActiveObject(nullptr, nullptr);
  if (inPlaceSite_ != nullptr) inPlaceSite_->OnUIDeactivate(FALSE);
  return S_OK;
}

HRESULT UploaderObject::InPlaceDeactivate() {
  if (inPlaceSite_ == nullptr) return S_OK;
  DeactivateUi();
  ParkControlWindow(window_);
  ReleaseAndClear(frame_);
  ReleaseAndClear(uiWindow_);
  IOleInPlaceSite* site = inPlaceSite_;
  inPlaceSite_ = nullptr;
  site->OnInPlaceDeactivate();
  site->Release();
  return S_OK;
}

}  // namespace veldrask::com
