#pragma once

// The COM object of UploaderControl: one object with every interface a container and a
// script use, around the core's control. Each interface's methods live in a file of their
// own; this file holds the object's state.

#include <memory>
#include <string>

#include "control/uploader_control.h"
#include "win32/com/connection_point.h"
#include "win32/com/control_platform.h"
#include "win32/com/dll_lifetime.h"
#include "win32/com/host_link.h"
#include "win32/com/sink_observer.h"
#include "win32/com/site_host.h"
#include "win32/com/win32_headers.h"
#include "win32/com_object.h"
#include "win32/com_ptr.h"

namespace veldrask::com {

class UploaderObject final
    : public win32::ComObject<DllLifetime<UploaderObject>, IDispatch, IProvideClassInfo2,
                              IConnectionPointContainer, IPersistPropertyBag, IPersistStreamInit,
                              IOleObject, IOleInPlaceObject, IOleInPlaceActiveObject, IOleControl,
                              IViewObject2, IObjectWithSite, IQuickActivate, IUploaderHostLink> {
 public:
  // Creates an object (with start-up done) and hands out riid.
  static HRESULT Create(REFIID riid, void** object);

  // IUnknown (uploader_object.cpp); AddRef is the base's, Release also closes the transfer
  // windows when only the control's own calls hold it.
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** object) override;
  ULONG STDMETHODCALLTYPE Release() override;

  // IDispatch (dispatch.cpp)
  HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override;
  HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT index, LCID lcid, ITypeInfo** info) override;
  HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID riid, LPOLESTR* names, UINT count, LCID lcid,
                                          DISPID* ids) override;
  HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID riid, LCID lcid, WORD flags,
                                   DISPPARAMS* params, VARIANT* result, EXCEPINFO* exception,
                                   UINT* argumentError) override;

  // IProvideClassInfo2 (provide_class_info.cpp)
  HRESULT STDMETHODCALLTYPE GetClassInfo(ITypeInfo** info) override;
  HRESULT STDMETHODCALLTYPE GetGUID(DWORD kind, GUID* guid) override;

  // IConnectionPointContainer (connection_point_container.cpp)
  HRESULT STDMETHODCALLTYPE EnumConnectionPoints(IEnumConnectionPoints** points) override;
  HRESULT STDMETHODCALLTYPE FindConnectionPoint(REFIID riid, IConnectionPoint** point) override;

  // IPersist, shared by both persistence interfaces (persist_property_bag.cpp)
  HRESULT STDMETHODCALLTYPE GetClassID(CLSID* id) override;
  // IPersistPropertyBag and IPersistStreamInit::InitNew (persist_property_bag.cpp)
  HRESULT STDMETHODCALLTYPE InitNew() override;
  HRESULT STDMETHODCALLTYPE Load(IPropertyBag* bag, IErrorLog* log) override;
  HRESULT STDMETHODCALLTYPE Save(IPropertyBag* bag, BOOL clearDirty, BOOL saveAll) override;

  // IPersistStreamInit (persist_stream_init.cpp)
  HRESULT STDMETHODCALLTYPE IsDirty() override;
  HRESULT STDMETHODCALLTYPE Load(LPSTREAM stream) override;
  HRESULT STDMETHODCALLTYPE Save(LPSTREAM stream, BOOL clearDirty) override;
  HRESULT STDMETHODCALLTYPE GetSizeMax(ULARGE_INTEGER* size) override;

  // IOleObject (ole_object.cpp)
  HRESULT STDMETHODCALLTYPE SetClientSite(IOleClientSite* site) override;
  HRESULT STDMETHODCALLTYPE GetClientSite(IOleClientSite** site) override;
  HRESULT STDMETHODCALLTYPE SetHostNames(LPCOLESTR app, LPCOLESTR object) override;
  HRESULT STDMETHODCALLTYPE Close(DWORD saveOption) override;
  HRESULT STDMETHODCALLTYPE SetMoniker(DWORD which, IMoniker* moniker) override;
  HRESULT STDMETHODCALLTYPE GetMoniker(DWORD assign, DWORD which, IMoniker** moniker) override;
  HRESULT STDMETHODCALLTYPE InitFromData(IDataObject* data, BOOL creation, DWORD reserved) override;
  HRESULT STDMETHODCALLTYPE GetClipboardData(DWORD reserved, IDataObject** data) override;
  HRESULT STDMETHODCALLTYPE DoVerb(LONG verb, LPMSG message, IOleClientSite* activeSite, LONG index,
                                   HWND parent, LPCRECT position) override;
  HRESULT STDMETHODCALLTYPE EnumVerbs(IEnumOLEVERB** verbs) override;
  HRESULT STDMETHODCALLTYPE Update() override;
  HRESULT STDMETHODCALLTYPE IsUpToDate() override;
  HRESULT STDMETHODCALLTYPE GetUserClassID(CLSID* id) override;
  HRESULT STDMETHODCALLTYPE GetUserType(DWORD form, LPOLESTR* type) override;
  HRESULT STDMETHODCALLTYPE SetExtent(DWORD aspect, SIZEL* size) override;
  HRESULT STDMETHODCALLTYPE GetExtent(DWORD aspect, SIZEL* size) override;
  HRESULT STDMETHODCALLTYPE Advise(IAdviseSink* sink, DWORD* connection) override;
  HRESULT STDMETHODCALLTYPE Unadvise(DWORD connection) override;
  HRESULT STDMETHODCALLTYPE EnumAdvise(IEnumSTATDATA** advises) override;
  HRESULT STDMETHODCALLTYPE GetMiscStatus(DWORD aspect, DWORD* status) override;
  HRESULT STDMETHODCALLTYPE SetColorScheme(LOGPALETTE* palette) override;

  // IOleWindow, shared by both in-place interfaces (in_place_object.cpp)
  HRESULT STDMETHODCALLTYPE GetWindow(HWND* window) override;
  HRESULT STDMETHODCALLTYPE ContextSensitiveHelp(BOOL enter) override;
  // IOleInPlaceObject (in_place_object.cpp)
  HRESULT STDMETHODCALLTYPE InPlaceDeactivate() override;
  HRESULT STDMETHODCALLTYPE UIDeactivate() override;
  HRESULT STDMETHODCALLTYPE SetObjectRects(LPCRECT position, LPCRECT clip) override;
  HRESULT STDMETHODCALLTYPE ReactivateAndUndo() override;

  // IOleInPlaceActiveObject (in_place_active_object.cpp)
  HRESULT STDMETHODCALLTYPE TranslateAccelerator(LPMSG message) override;
  HRESULT STDMETHODCALLTYPE OnFrameWindowActivate(BOOL activate) override;
  HRESULT STDMETHODCALLTYPE OnDocWindowActivate(BOOL activate) override;
  HRESULT STDMETHODCALLTYPE ResizeBorder(LPCRECT border, IOleInPlaceUIWindow* window,
                                         BOOL frameWindow) override;
  HRESULT STDMETHODCALLTYPE EnableModeless(BOOL enable) override;

  // IOleControl (ole_control.cpp)
  HRESULT STDMETHODCALLTYPE GetControlInfo(CONTROLINFO* info) override;
  HRESULT STDMETHODCALLTYPE OnMnemonic(MSG* message) override;
  HRESULT STDMETHODCALLTYPE OnAmbientPropertyChange(DISPID id) override;
  HRESULT STDMETHODCALLTYPE FreezeEvents(BOOL freeze) override;

  // IViewObject2 (view_object.cpp)
  HRESULT STDMETHODCALLTYPE Draw(DWORD aspect, LONG index, void* aspectInfo, DVTARGETDEVICE* device,
                                 HDC targetDevice, HDC draw, LPCRECTL bounds, LPCRECTL windowBounds,
                                 BOOL(STDMETHODCALLTYPE* proceed)(ULONG_PTR),
                                 ULONG_PTR proceedArgument) override;
  HRESULT STDMETHODCALLTYPE GetColorSet(DWORD aspect, LONG index, void* aspectInfo,
                                        DVTARGETDEVICE* device, HDC targetDevice,
                                        LOGPALETTE** colors) override;
  HRESULT STDMETHODCALLTYPE Freeze(DWORD aspect, LONG index, void* aspectInfo,
                                   DWORD* freeze) override;
  HRESULT STDMETHODCALLTYPE Unfreeze(DWORD freeze) override;
  HRESULT STDMETHODCALLTYPE SetAdvise(DWORD aspects, DWORD flags, IAdviseSink* sink) override;
  HRESULT STDMETHODCALLTYPE GetAdvise(DWORD* aspects, DWORD* flags, IAdviseSink** sink) override;
  HRESULT STDMETHODCALLTYPE GetExtent(DWORD aspect, LONG index, DVTARGETDEVICE* device,
                                      LPSIZEL size) override;

  // IObjectWithSite (object_with_site.cpp)
  HRESULT STDMETHODCALLTYPE SetSite(IUnknown* site) override;
  HRESULT STDMETHODCALLTYPE GetSite(REFIID riid, void** site) override;

  // IQuickActivate (quick_activate.cpp)
  HRESULT STDMETHODCALLTYPE QuickActivate(QACONTAINER* container, QACONTROL* control) override;
  HRESULT STDMETHODCALLTYPE SetContentExtent(LPSIZEL size) override;
  HRESULT STDMETHODCALLTYPE GetContentExtent(LPSIZEL size) override;

  // IUploaderHostLink (host_link.cpp), for a host in this process
  HRESULT STDMETHODCALLTYPE FollowExchanges(IUploaderExchangeSink* sink) override;
  HRESULT STDMETHODCALLTYPE AddTrustedRoots(const char* pem, ULONG length) override;
  HRESULT STDMETHODCALLTYPE CheckCertificates(BOOL check) override;
  HRESULT STDMETHODCALLTYPE SetHostOptions(const HostRequestOptions* options) override;

 private:
  UploaderObject(ITypeInfo* dispatchType, ITypeInfo* fileType);
  ~UploaderObject() override;

  // Start-up of the core control on the object's platform.
  HRESULT StartControl();

  // Invoke's work by member name (dispatch.cpp).
  HRESULT InvokeByName(DISPID id, WORD flags, DISPPARAMS* params, VARIANT* result,
                       EXCEPINFO* exception, UINT* argumentError);

  // In-place activation (in_place_activation.cpp).
  HRESULT ActivateInPlace(IOleClientSite* site, bool uiActivate);
  HRESULT DeactivateUi();
  void ReleaseSites();
  // A reference for each member call and each window message being handled: a container that
  // lets go meanwhile (its page going away) does not pull the object from under them.
  // A window procedure's hold is let go from the message loop when it is the last reference,
  // since the system's frames of the window still run after it.
  void HoldForCall();
  void LetGoAfterCall(bool fromWindowProcedure);
  // Closes the open transfer windows as the user's close does, so their loops unwind.
  void CloseModalWindows() noexcept;

  ULONG callHolds_ = 0;  // the references HoldForCall took
  ITypeInfo* dispatchType_;
  ITypeInfo* fileType_;
  win32::ComPtr<IOleClientSite> clientSite_;
  win32::ComPtr<IUnknown> objectSite_;
  win32::ComPtr<IOleAdviseHolder> adviseHolder_;
  win32::ComPtr<IAdviseSink> viewSink_;
  DWORD viewAspects_ = 0;
  DWORD viewFlags_ = 0;
  SIZEL extent_;

  // The control's window (parked until activated in place) and the in-place state.
  HWND window_ = nullptr;
  win32::ComPtr<IOleInPlaceSite> inPlaceSite_;
  win32::ComPtr<IOleInPlaceFrame> frame_;
  win32::ComPtr<IOleInPlaceUIWindow> uiWindow_;
  bool uiActive_ = false;

  ConnectionPoint events_;
  ConnectionPoint propertyNotifications_;
  SiteHost host_;
  std::unique_ptr<SinkObserver> hostObserver_;  // the host's sink, while one follows
  std::unique_ptr<ControlPlatform> platform_;
  std::unique_ptr<UploaderControl> control_;
  bool initialised_ = false;
};

}  // namespace veldrask::com
