#include "win32/com/uploader_object.h"

#include <new>

#include "veldrask_uploader.h"
#include "win32/com/com_error.h"
#include "win32/com/control_window.h"
#include "win32/com/module.h"
#include "win32/com/reference_ledger.h"
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
      host_(clientSite_, propertyNotifications_, *dispatchType) {
  ObjectCreated();
  ledger::Born(this, "UploaderObject");
}

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
  ledger::Died(this);
  ObjectDestroyed();
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
  if (object == nullptr) return E_POINTER;
  // Each interface id with the base it is answered by (IPersist, IOleWindow and IViewObject
  // through their first derived interface).
  struct Answer {
    const IID& iid;
    void* (*cast)(UploaderObject*);
  };
  static const Answer kAnswers[] = {
      {IID_IUnknown, [](UploaderObject* o) -> void* { return static_cast<IDispatch*>(o); }},
      {IID_IDispatch, [](UploaderObject* o) -> void* { return static_cast<IDispatch*>(o); }},
      {DIID__UploaderControl,
       [](UploaderObject* o) -> void* { return static_cast<IDispatch*>(o); }},
      {IID_IProvideClassInfo,
       [](UploaderObject* o) -> void* { return static_cast<IProvideClassInfo2*>(o); }},
      {IID_IProvideClassInfo2,
       [](UploaderObject* o) -> void* { return static_cast<IProvideClassInfo2*>(o); }},
      {IID_IConnectionPointContainer,
       [](UploaderObject* o) -> void* { return static_cast<IConnectionPointContainer*>(o); }},
      {IID_IPersistPropertyBag,
       [](UploaderObject* o) -> void* { return static_cast<IPersistPropertyBag*>(o); }},
      {IID_IPersist,
       [](UploaderObject* o) -> void* { return static_cast<IPersistStreamInit*>(o); }},
      {IID_IPersistStreamInit,
       [](UploaderObject* o) -> void* { return static_cast<IPersistStreamInit*>(o); }},
      {IID_IOleObject, [](UploaderObject* o) -> void* { return static_cast<IOleObject*>(o); }},
      {IID_IOleWindow,
       [](UploaderObject* o) -> void* { return static_cast<IOleInPlaceObject*>(o); }},
      {IID_IOleInPlaceObject,
       [](UploaderObject* o) -> void* { return static_cast<IOleInPlaceObject*>(o); }},
      {IID_IOleInPlaceActiveObject,
       [](UploaderObject* o) -> void* { return static_cast<IOleInPlaceActiveObject*>(o); }},
      {IID_IOleControl, [](UploaderObject* o) -> void* { return static_cast<IOleControl*>(o); }},
      {IID_IViewObject, [](UploaderObject* o) -> void* { return static_cast<IViewObject2*>(o); }},
      {IID_IViewObject2, [](UploaderObject* o) -> void* { return static_cast<IViewObject2*>(o); }},
      {IID_IObjectWithSite,
       [](UploaderObject* o) -> void* { return static_cast<IObjectWithSite*>(o); }},
      {IID_IQuickActivate,
       [](UploaderObject* o) -> void* { return static_cast<IQuickActivate*>(o); }},
      {IID_IUploaderHostLink,
       [](UploaderObject* o) -> void* { return static_cast<IUploaderHostLink*>(o); }},
  };
  for (const Answer& answer : kAnswers) {
    if (IsEqualIID(riid, answer.iid)) {
      *object = answer.cast(this);
      AddRef();
      return S_OK;
    }
  }
  *object = nullptr;
  return E_NOINTERFACE;
}

void UploaderObject::HoldForCall() {
  AddRef();
  ++callHolds_;
}

void UploaderObject::LetGoAfterCall(bool fromWindowProcedure) {
  --callHolds_;
  if (fromWindowProcedure && references_ == 1 && window_ != nullptr &&
      PostDeferredRelease(window_, static_cast<IDispatch*>(this))) {
    return;
  }
  Release();
}

void UploaderObject::CloseModalWindows() noexcept {
  if (platform_) platform_->Windows().CloseModalForms();
}

ULONG UploaderObject::AddRef() {
  ledger::Counted(this, +1);
  return ++references_;
}

ULONG UploaderObject::Release() {
  ledger::Counted(this, -1);
  const ULONG left = --references_;
  // Only calls of the control itself still hold it: whoever was using it has gone.
  if (left != 0 && left == callHolds_) CloseModalWindows();
  if (left == 0) {
    // Calls made while tearing down (sinks, sites) must not delete the object again.
    references_ = 1;
    delete this;
  }
  return left;
}

}  // namespace veldrask::com
