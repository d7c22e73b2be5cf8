#include "win32/com/uploader_object.h"

#include <new>

#include "veldrask_uploader.h"
#include "win32/com/com_error.h"
#include "win32/com/control_window.h"
#include "win32/com/module.h"
#include "win32/ui/win32_ui.h"

namespace veldrask::com {
namespace {

constexpr LONG kHimetricPerInch = 2540;
constexpr LONG kTwipsPerInch = 1440;
// The designed size of the control's surface, in twips.
constexpr LONG kDesignedWidth = 9480;
constexpr LONG kDesignedHeight = 6495;

HRESULT FindTypeInfo(ITypeLib* library, const wchar_t* name, ITypeInfo** info) {
  std::wstring text(name);
  MEMBERID member = 0;
  USHORT found = 1;
  const HRESULT hr = library->FindName(text.data(), 0, info, &member, &found);
  if (FAILED(hr)) return hr;
  return found == 1 ? S_OK : TYPE_E_ELEMENTNOTFOUND;
}

}  // namespace

HRESULT UploaderObject::Create(REFIID riid, void** object) {
  if (object == nullptr) return E_POINTER;
  *object = nullptr;
  ITypeLib* library = nullptr;
  HRESULT hr = LoadOwnTypeLib(&library);
  if (FAILED(hr)) return hr;
  ITypeInfo* dispatchType = nullptr;
  ITypeInfo* fileType = nullptr;
  hr = library->GetTypeInfoOfGuid(DIID__UploaderControl, &dispatchType);
  if (SUCCEEDED(hr)) hr = FindTypeInfo(library, L"ATTACHEDFILE", &fileType);
  library->Release();
  if (FAILED(hr)) {
    if (dispatchType != nullptr) dispatchType->Release();
    return hr;
  }
  auto* self = new (std::nothrow) UploaderObject(dispatchType, fileType);
  if (self == nullptr) {
    dispatchType->Release();
    fileType->Release();
    return E_OUTOFMEMORY;
  }
  hr = ComCall([self] { return self->StartControl(); });
  if (SUCCEEDED(hr)) hr = self->QueryInterface(riid, object);
  self->Release();
  return hr;
}

UploaderObject::UploaderObject(ITypeInfo* dispatchType, ITypeInfo* fileType)
    : dispatchType_(dispatchType),
      fileType_(fileType),
      extent_{MulDiv(kDesignedWidth, kHimetricPerInch, kTwipsPerInch),
              MulDiv(kDesignedHeight, kHimetricPerInch, kTwipsPerInch)},
      events_(*this, DIID___UploaderControl),
      propertyNotifications_(*this, IID_IPropertyNotifySink),
      host_(clientSite_, propertyNotifications_, *dispatchType) {}

UploaderObject::~UploaderObject() {
  if (platform_) platform_->Windows().SetHandlerHooks(nullptr, nullptr);
  ReleaseSites();
  control_.reset();
  platform_.reset();
  if (window_ != nullptr) DestroyWindow(window_);
  events_.UnadviseAll();
  propertyNotifications_.UnadviseAll();
  dispatchType_->Release();
  fileType_->Release();
}

HRESULT UploaderObject::StartControl() {
  window_ = CreateParkedControlWindow();
  if (window_ == nullptr) return HRESULT_FROM_WIN32(GetLastError());
  platform_ = MakeControlPlatform(window_);
  platform_->Windows().SetHandlerHooks([this] { HoldForCall(); }, [this] { LetGoAfterCall(true); });
  control_ = std::make_unique<UploaderControl>(platform_->Get(), host_);
  return S_OK;
}

void UploaderObject::ReleaseSites() {
  if (inPlaceSite_) InPlaceDeactivate();
  adviseHolder_.Reset();
  viewSink_.Reset();
  clientSite_.Reset();
  objectSite_.Reset();
}

HRESULT UploaderObject::QueryInterface(REFIID riid, void** object) {
  // IPersist, IOleWindow and IViewObject through their first derived interface.
  return win32::AnswerQuery(
      riid, object,
      {{&IID_IDispatch, static_cast<IDispatch*>(this)},
       {&DIID__UploaderControl, static_cast<IDispatch*>(this)},
       {&IID_IProvideClassInfo, static_cast<IProvideClassInfo2*>(this)},
       {&IID_IProvideClassInfo2, static_cast<IProvideClassInfo2*>(this)},
       {&IID_IConnectionPointContainer, static_cast<IConnectionPointContainer*>(this)},
       {&IID_IPersistPropertyBag, static_cast<IPersistPropertyBag*>(this)},
       {&IID_IPersist, static_cast<IPersistStreamInit*>(this)},
       {&IID_IPersistStreamInit, static_cast<IPersistStreamInit*>(this)},
       {&IID_IOleObject, static_cast<IOleObject*>(this)},
       {&IID_IOleWindow, static_cast<IOleInPlaceObject*>(this)},
       {&IID_IOleInPlaceObject, static_cast<IOleInPlaceObject*>(this)},
       {&IID_IOleInPlaceActiveObject, static_cast<IOleInPlaceActiveObject*>(this)},
       {&IID_IOleControl, static_cast<IOleControl*>(this)},
       {&IID_IViewObject, static_cast<IViewObject2*>(this)},
       {&IID_IViewObject2, static_cast<IViewObject2*>(this)},
       {&IID_IObjectWithSite, static_cast<IObjectWithSite*>(this)},
       {&IID_IQuickActivate, static_cast<IQuickActivate*>(this)},
       {&IID_IUploaderHostLink, static_cast<IUploaderHostLink*>(this)}});
}

void UploaderObject::HoldForCall() {
  AddRef();
  ++callHolds_;
}

void UploaderObject::LetGoAfterCall(bool fromWindowProcedure) {
  --callHolds_;
  if (fromWindowProcedure && References() == 1 && window_ != nullptr &&
      PostDeferredRelease(window_, static_cast<IDispatch*>(this))) {
    return;
  }
  Release();
}

void UploaderObject::CloseModalWindows() noexcept {
  if (platform_) platform_->Windows().CloseModalForms();
}

ULONG UploaderObject::Release() {
  const ULONG left = ComObject::Release();
  // Only calls of the control itself still hold it: whoever was using it has gone.
  if (left != 0 && left == callHolds_) CloseModalWindows();
  return left;
}

}  // namespace veldrask::com
