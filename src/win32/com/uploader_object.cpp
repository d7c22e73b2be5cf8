#include "uploader_object.h"

#include <new>

#include "com_error.h"
#include "control_window.h"
#include "module.h"
#include "veldrask_uploader.h"

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
}

UploaderObject::~UploaderObject() {
  ReleaseSites();
  control_.reset();
  platform_.reset();
  if (window_ != nullptr) DestroyWindow(window_);
  events_.UnadviseAll();
  propertyNotifications_.UnadviseAll();
  dispatchType_->Release();
  fileType_->Release();
  ObjectDestroyed();
}

HRESULT UploaderObject::StartControl() {
  window_ = CreateParkedControlWindow();
  if (window_ == nullptr) return HRESULT_FROM_WIN32(GetLastError());
  platform_ = MakeControlPlatform(window_);
  control_ = std::make_unique<UploaderControl>(platform_->Get(), host_);
  return S_OK;
}

void UploaderObject::ReleaseSites() {
  if (inPlaceSite_ != nullptr) InPlaceDeactivate();
  if (adviseHolder_ != nullptr) {
    adviseHolder_->Release();
    adviseHolder_ = nullptr;
  }
  if (viewSink_ != nullptr) {
    viewSink_->Release();
    viewSink_ = nullptr;
  }
  if (clientSite_ != nullptr) {
    clientSite_->Release();
    clientSite_ = nullptr;
  }
  if (objectSite_ != nullptr) {
    objectSite_->Release();
    objectSite_ = nullptr;
  }
}

HRESULT UploaderObject::QueryInterface(REFIID riid, void** object) {
  if (object == nullptr) return E_POINTER;
  void* found = nullptr;
  if (IsEqualIID(riid, IID_IUnknown) || IsEqualIID(riid, IID_IDispatch) ||
      IsEqualIID(riid, DIID__UploaderControl)) {
    found = static_cast<IDispatch*>(this);
  } else if (IsEqualIID(riid, IID_IProvideClassInfo) || IsEqualIID(riid, IID_IProvideClassInfo2)) {
    found = static_cast<IProvideClassInfo2*>(this);
  } else if (IsEqualIID(riid, IID_IConnectionPointContainer)) {
    found = static_cast<IConnectionPointContainer*>(this);
  } else if (IsEqualIID(riid, IID_IPersistPropertyBag)) {
    found = static_cast<IPersistPropertyBag*>(this);
  } else if (IsEqualIID(riid, IID_IPersist) || IsEqualIID(riid, IID_IPersistStreamInit)) {
    found = static_cast<IPersistStreamInit*>(this);
  } else if (IsEqualIID(riid, IID_IOleObject)) {
    found = static_cast<IOleObject*>(this);
  } else if (IsEqualIID(riid, IID_IOleWindow) || IsEqualIID(riid, IID_IOleInPlaceObject)) {
    found = static_cast<IOleInPlaceObject*>(this);
  } else if (IsEqualIID(riid, IID_IOleInPlaceActiveObject)) {
    found = static_cast<IOleInPlaceActiveObject*>(this);
  } else if (IsEqualIID(riid, IID_IOleControl)) {
    found = static_cast<IOleControl*>(this);
  } else if (IsEqualIID(riid, IID_IViewObject) || IsEqualIID(riid, IID_IViewObject2)) {
    found = static_cast<IViewObject2*>(this);
  } else if (IsEqualIID(riid, IID_IObjectWithSite)) {
    found = static_cast<IObjectWithSite*>(this);
  } else if (IsEqualIID(riid, IID_IQuickActivate)) {
    found = static_cast<IQuickActivate*>(this);
  }
  *object = found;
  if (found == nullptr) return E_NOINTERFACE;
  AddRef();
  return S_OK;
}

ULONG UploaderObject::AddRef() {
  return ++references_;
}

ULONG UploaderObject::Release() {
  const ULONG left = --references_;
  if (left == 0) {
    // Calls made while tearing down (sinks, sites) must not delete the object again.
    references_ = 1;
    delete this;
  }
  return left;
}

}  // namespace veldrask::com
