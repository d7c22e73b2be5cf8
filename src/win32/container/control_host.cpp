#include "win32/container/control_host.h"

#include <ocidl.h>

#include <stdexcept>

#include "win32/container/change_sink.h"
#include "win32/container/client_site.h"
#include "win32/container/load_error_log.h"
#include "win32/container/page_document.h"
#include "win32/container/param_bag.h"
#include "win32/wide_text.h"

namespace veldrask::container {
namespace {

constexpr wchar_t kPageClass[] = L"VeldraskControlPage";

// HIMETRIC (0.01 mm) from pixels of the screen.
SIZEL Himetric(int width, int height) {
  HDC screen = GetDC(nullptr);
  const int dpiX = GetDeviceCaps(screen, LOGPIXELSX);
  const int dpiY = GetDeviceCaps(screen, LOGPIXELSY);
  ReleaseDC(nullptr, screen);
  return SIZEL{MulDiv(width, 2540, dpiX), MulDiv(height, 2540, dpiY)};
}

HWND CreatePageWindow(std::string_view title) {
  WNDCLASSEXW page{};
  page.cbSize = sizeof page;
  page.lpfnWndProc = DefWindowProcW;
  page.hInstance = GetModuleHandleW(nullptr);
  page.hCursor = LoadCursorW(nullptr, IDC_ARROW);
  page.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
  page.lpszClassName = kPageClass;
  RegisterClassExW(&page);  // fails harmlessly when an earlier host registered it
  HWND window = CreateWindowExW(0, kPageClass, win32::Widen(title).c_str(),
                                WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN, CW_USEDEFAULT, CW_USEDEFAULT,
                                800, 600, nullptr, nullptr, page.hInstance, nullptr);
  if (window == nullptr) throw std::runtime_error("cannot create the page window");
  return window;
}

void Check(HRESULT result, const char* what) {
  if (FAILED(result)) {
    throw std::runtime_error(std::string(what) + ": " +
                             win32::SystemMessage(static_cast<unsigned long>(result)));
  }
}

struct ButtonSearch {
  std::wstring caption;
  HWND found = nullptr;
};

BOOL CALLBACK MatchButton(HWND window, LPARAM context) {
  auto& search = *reinterpret_cast<ButtonSearch*>(context);
  wchar_t className[16] = {};
  GetClassNameW(window, className, 16);
  if (CompareStringOrdinal(className, -1, L"Button", -1, TRUE) != CSTR_EQUAL) return TRUE;
  std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(window)) + 1, L'\0');
  text.resize(
      static_cast<std::size_t>(GetWindowTextW(window, text.data(), static_cast<int>(text.size()))));
  if (text != search.caption || !IsWindowVisible(window)) return TRUE;
  search.found = window;
  return FALSE;
}

// A visible button on the page by its caption.
HWND FindButton(HWND page, std::string_view caption) {
  ButtonSearch search{win32::Widen(caption)};
  EnumChildWindows(page, MatchButton, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

}  // namespace

OleApartment::OleApartment() {
  Check(OleInitialize(nullptr), "OleInitialize");
}

OleApartment::~OleApartment() {
  OleUninitialize();
}

struct ControlHost::State {
  HWND page = nullptr;
  PageDocument* document = nullptr;
  ClientSite* site = nullptr;
  ChangeSink* changes = nullptr;
  CreatedControl control;
  win32::ComPtr<IDispatch> dispatch;
  win32::ComPtr<IConnectionPoint> notifications;
  DWORD notificationCookie = 0;
  std::vector<std::string> paramNamesRead;

  IDispatch& Members() {
    if (!dispatch) throw std::runtime_error("the control has no IDispatch");
    return *dispatch.Get();
  }
};

ControlHost::ControlHost(const ControlSource& source, std::string_view pageTitle)
    : state_(std::make_unique<State>()) {
  State& s = *state_;
  s.page = CreatePageWindow(pageTitle);
  s.document = new PageDocument;
  s.site = new ClientSite(s.page, *s.document);
  s.changes = new ChangeSink;
  try {
    s.control = CreateControl(source);
  } catch (...) {
    s.changes->Release();
    s.site->Release();
    s.document->Release();
    DestroyWindow(s.page);
    throw;
  }
  // The control asks for its site before anything else (set-client-site-first).
  s.control.object->SetClientSite(static_cast<IOleClientSite*>(s.site));
  s.dispatch = s.control.object.As<IDispatch>(IID_IDispatch);
  auto points = s.control.object.As<IConnectionPointContainer>(IID_IConnectionPointContainer);
  if (points &&
      SUCCEEDED(points->FindConnectionPoint(IID_IPropertyNotifySink, s.notifications.Out()))) {
    s.notifications->Advise(static_cast<IPropertyNotifySink*>(s.changes), &s.notificationCookie);
  }
}

ControlHost::~ControlHost() {
  State& s = *state_;
  ReleaseControl();
  ReleaseModule(s.control.module);
  s.changes->Release();
  s.site->Release();
  s.document->Release();
  DestroyWindow(s.page);
}

bool ControlHost::CreatedFromRegistry() const {
  return state_->control.fromRegistry;
}

void ControlHost::LoadParams(const Params& params) {
  State& s = *state_;
  auto persist = s.control.object.As<IPersistPropertyBag>(IID_IPersistPropertyBag);
  if (!persist) throw std::runtime_error("the control does not load <param>s");
  if (params.empty()) {
    Check(persist->InitNew(), "InitNew");
    return;
  }
  std::vector<std::pair<std::wstring, std::wstring>> wide;
  for (const auto& [name, value] : params)
    wide.emplace_back(win32::Widen(name), win32::Widen(value));
  win32::ComPtr<ParamBag> bag(new ParamBag(std::move(wide)));
  win32::ComPtr<LoadErrorLog> log(new LoadErrorLog);
  const HRESULT loaded = persist->Load(bag.Get(), log.Get());
  s.paramNamesRead.clear();
  for (const std::wstring& name : bag->NamesRead()) s.paramNamesRead.push_back(win32::Narrow(name));
  if (FAILED(loaded) && log->Last()) throw *log->Last();
  Check(loaded, "IPersistPropertyBag::Load");
}

void ControlHost::Activate(int width, int height) {
  State& s = *state_;
  const RECT place{0, 0, width, height};
  RECT frame = place;
  AdjustWindowRect(&frame, WS_OVERLAPPEDWINDOW, FALSE);
  SetWindowPos(s.page, nullptr, 0, 0, frame.right - frame.left, frame.bottom - frame.top,
               SWP_NOZORDER | SWP_NOMOVE);
  ShowWindow(s.page, SW_SHOWNORMAL);
  s.site->SetPlace(place);
  SIZEL extent = Himetric(width, height);
  s.control.object->SetExtent(DVASPECT_CONTENT, &extent);
  Check(s.control.object->DoVerb(OLEIVERB_INPLACEACTIVATE, nullptr,
                                 static_cast<IOleClientSite*>(s.site), 0, s.page, &place),
        "in-place activation");
  if (auto inPlace = s.control.object.As<IOleInPlaceObject>(IID_IOleInPlaceObject)) {
    inPlace->SetObjectRects(&place, &place);
  }
  UpdateWindow(s.page);
}

const std::vector<std::string>& ControlHost::ParamNamesRead() const {
  return state_->paramNamesRead;
}

bool ControlHost::InPlaceActive() const {
  return state_->site->InPlaceActive();
}

std::string ControlHost::Get(std::string_view property) {
  return CallByName(state_->Members(), property, MemberKind::kGet, {});
}

void ControlHost::Put(std::string_view property, std::string_view value) {
  CallByName(state_->Members(), property, MemberKind::kPut, {std::string(value)});
}

std::string ControlHost::Call(std::string_view method, const std::vector<std::string>& arguments) {
  return CallByName(state_->Members(), method, MemberKind::kMethod, arguments);
}

OwnedVariant ControlHost::Invoke(std::string_view member, MemberKind kind,
                                 const std::vector<std::string>& arguments) {
  return InvokeByName(state_->Members(), member, kind, arguments);
}

void ControlHost::SetCookie(std::string_view cookie) {
  state_->document->SetCookie(win32::Widen(cookie));
}

std::string ControlHost::Location() const {
  return win32::Narrow(state_->document->Location().Href());
}

void ControlHost::SetLocation(std::string_view href) {
  state_->document->Location().SetHref(win32::Widen(href));
}

std::vector<std::string> ControlHost::TakeChangedProperties() {
  State& s = *state_;
  std::vector<std::string> names;
  win32::ComPtr<ITypeInfo> info;
  if (s.dispatch) s.dispatch->GetTypeInfo(0, LOCALE_USER_DEFAULT, info.Out());
  for (const DISPID id : s.changes->Changed()) {
    BSTR name = nullptr;
    if (info && SUCCEEDED(info->GetDocumentation(id, &name, nullptr, nullptr, nullptr))) {
      names.push_back(win32::Narrow({name, SysStringLen(name)}));
      SysFreeString(name);
    } else {
      names.push_back(std::to_string(id));
    }
  }
  s.changes->Clear();
  return names;
}

void ControlHost::ClickButton(std::string_view caption) {
  HWND button = FindButton(state_->page, caption);
  if (button == nullptr) {
    throw std::runtime_error("no button \"" + std::string(caption) + "\" on the control");
  }
  SendMessageW(button, BM_CLICK, 0, 0);
}

bool ControlHost::ShowsButton(std::string_view caption) const {
  return FindButton(state_->page, caption) != nullptr;
}

void ControlHost::ReleaseControl() {
  State& s = *state_;
  if (!s.control.object) return;
  if (s.notifications) s.notifications->Unadvise(s.notificationCookie);
  s.notifications.Reset();
  if (auto inPlace = s.control.object.As<IOleInPlaceObject>(IID_IOleInPlaceObject)) {
    inPlace->InPlaceDeactivate();
  }
  // Moved out first: the calls below may run the control's windows, which may call in.
  win32::ComPtr<IOleObject> object = std::move(s.control.object);
  object->Close(OLECLOSE_NOSAVE);
  object->SetClientSite(nullptr);
  s.dispatch.Reset();
}

HWND ControlHost::PageWindow() const {
  return state_->page;
}

const win32::ComPtr<IOleObject>& ControlHost::Object() const {
  return state_->control.object;
}

}  // namespace veldrask::container
