// The control object as a container meets it, loaded straight from the DLL: property-change
// notifications, loading <param>s through the writers, saving, the stream round trip, the
// interfaces it answers and when the DLL may unload. Texts here are UTF-8 source.

#include <gtest/gtest.h>

// clang-format off
#include <windows.h>
#include <ole2.h>
#include <ocidl.h>
#include <olectl.h>
// clang-format on

#include <map>
#include <string>
#include <vector>

namespace {

std::wstring Wide(const std::string& text) {
  const int size =
      MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
  std::wstring wide(static_cast<std::size_t>(size), L'\0');
  MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), wide.data(), size);
  return wide;
}

const std::wstring kEngineTitle = Wide("초록모래 파일트랜스퍼 Ver 1.8");

// Counts references only; the tests own these on the stack.
template <typename Interface>
class StackObject : public Interface {
 public:
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** object) override {
    if (IsEqualIID(riid, IID_IUnknown) || IsEqualIID(riid, __uuidof(Interface))) {
      *object = static_cast<Interface*>(this);
      return S_OK;
    }
    *object = nullptr;
    return E_NOINTERFACE;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
  ULONG STDMETHODCALLTYPE Release() override { return 1; }
};

class RecordingSink final : public StackObject<IPropertyNotifySink> {
 public:
  HRESULT STDMETHODCALLTYPE OnChanged(DISPID id) override {
    changed.push_back(id);
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE OnRequestEdit(DISPID) override { return S_OK; }
  std::vector<DISPID> changed;
};

class MapPropertyBag final : public StackObject<IPropertyBag> {
 public:
  HRESULT STDMETHODCALLTYPE Read(LPCOLESTR name, VARIANT* value, IErrorLog*) override {
    const auto found = values.find(name);
    if (found == values.end()) return E_INVALIDARG;
    value->vt = VT_BSTR;
    value->bstrVal = SysAllocString(found->second.c_str());
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE Write(LPCOLESTR name, VARIANT*) override {
    written.push_back(name);
    return S_OK;
  }
  std::map<std::wstring, std::wstring> values;
  std::vector<std::wstring> written;
};

class RecordingErrorLog final : public StackObject<IErrorLog> {
 public:
  HRESULT STDMETHODCALLTYPE AddError(LPCOLESTR name, EXCEPINFO* info) override {
    names.push_back(name);
    scodes.push_back(info->scode);
    SysFreeString(info->bstrSource);
    SysFreeString(info->bstrDescription);
    SysFreeString(info->bstrHelpFile);
    return S_OK;
  }
  std::vector<std::wstring> names;
  std::vector<SCODE> scodes;
};

class ControlObjectTest : public testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(SUCCEEDED(CoInitialize(nullptr)));
    std::wstring path = L"Z:" + Wide(VELDRASK_COM_DLL);
    for (wchar_t& c : path) c = c == L'/' ? L'\\' : c;
    module_ = LoadLibraryW(path.c_str());
    ASSERT_NE(module_, nullptr);
    getClassObject_ = reinterpret_cast<decltype(getClassObject_)>(
        reinterpret_cast<void*>(GetProcAddress(module_, "DllGetClassObject")));
    canUnloadNow_ = reinterpret_cast<decltype(canUnloadNow_)>(
        reinterpret_cast<void*>(GetProcAddress(module_, "DllCanUnloadNow")));
    control_ = Create();
    ASSERT_NE(control_, nullptr);
  }
  void TearDown() override {
    if (control_ != nullptr) control_->Release();
    CoUninitialize();
  }

  IDispatch* Create() {
    CLSID clsid{};
    CLSIDFromString(L"{D05A67AE-F78D-4C94-85DD-E93A46C2066C}", &clsid);
    IClassFactory* factory = nullptr;
    if (FAILED(getClassObject_(clsid, IID_IClassFactory, reinterpret_cast<void**>(&factory)))) {
      return nullptr;
    }
    IDispatch* control = nullptr;
    factory->CreateInstance(nullptr, IID_IDispatch, reinterpret_cast<void**>(&control));
    factory->Release();
    return control;
  }

  template <typename Interface>
  Interface* Query(IUnknown* object) {
    Interface* found = nullptr;
    object->QueryInterface(__uuidof(Interface), reinterpret_cast<void**>(&found));
    return found;
  }

  DISPID IdOf(const std::wstring& name) {
    LPOLESTR names = const_cast<LPOLESTR>(name.c_str());
    DISPID id = DISPID_UNKNOWN;
    control_->GetIDsOfNames(IID_NULL, &names, 1, LOCALE_USER_DEFAULT, &id);
    return id;
  }

  // The property as text (numbers converted).
  std::wstring Get(IDispatch* control, const std::wstring& name) {
    LPOLESTR names = const_cast<LPOLESTR>(name.c_str());
    DISPID id = DISPID_UNKNOWN;
    control->GetIDsOfNames(IID_NULL, &names, 1, LOCALE_USER_DEFAULT, &id);
    DISPPARAMS none{nullptr, nullptr, 0, 0};
    VARIANT result;
    VariantInit(&result);
    control->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_PROPERTYGET, &none, &result,
                    nullptr, nullptr);
    VariantChangeType(&result, &result, 0, VT_BSTR);
    std::wstring text = result.vt == VT_BSTR ? result.bstrVal : L"<none>";
    VariantClear(&result);
    return text;
  }

  void Put(const std::wstring& name, const std::wstring& value) {
    VARIANT argument;
    argument.vt = VT_BSTR;
    argument.bstrVal = SysAllocString(value.c_str());
    DISPID putId = DISPID_PROPERTYPUT;
    DISPPARAMS params{&argument, &putId, 1, 1};
    control_->Invoke(IdOf(name), IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_PROPERTYPUT, &params,
                     nullptr, nullptr, nullptr);
    VariantClear(&argument);
  }

  HMODULE module_ = nullptr;
  HRESULT(STDAPICALLTYPE* getClassObject_)(REFCLSID, REFIID, void**) = nullptr;
  HRESULT(STDAPICALLTYPE* canUnloadNow_)() = nullptr;
  IDispatch* control_ = nullptr;
};

TEST_F(ControlObjectTest, WritersNotifyByDispatchIdInTheirOrderButTheResponseDoesNot) {
  IConnectionPointContainer* container = Query<IConnectionPointContainer>(control_);
  ASSERT_NE(container, nullptr);
  IConnectionPoint* point = nullptr;
  ASSERT_EQ(container->FindConnectionPoint(IID_IPropertyNotifySink, &point), S_OK);
  RecordingSink sink;
  DWORD cookie = 0;
  ASSERT_EQ(point->Advise(&sink, &cookie), S_OK);

  IPersistPropertyBag* persist = Query<IPersistPropertyBag>(control_);
  ASSERT_EQ(persist->InitNew(), S_OK);
  Put(L"HTTPResponseData", L"x");
  Put(L"MainTitle", L"t");
  std::vector<DISPID> expected;
  for (const wchar_t* name :
       {L"MaxFileCount", L"MaxFileSize", L"UnitFileSize", L"HostName", L"ActionURL", L"ReturnURL",
        L"ServerPort", L"FilePrefix", L"PaddingZero", L"BufferSize", L"UpDownload",
        L"ExcludeFileExtension", L"Charset", L"MainTitle"}) {
    expected.push_back(IdOf(name));
  }
  EXPECT_EQ(sink.changed, expected);

  EXPECT_EQ(point->Unadvise(cookie), S_OK);
  EXPECT_EQ(point->Unadvise(cookie), CONNECT_E_NOCONNECTION);
  persist->Release();
  point->Release();
  container->Release();
}

TEST_F(ControlObjectTest, LoadAssignsParamsThroughTheWriters) {
  MapPropertyBag bag;
  bag.values = {{L"MaxFileCount", L"7"},
                {L"ServerPort", L"8080"},
                {L"UpDownload", L"1"},
                {L"MainTitle", Wide("자료실")},
                {L"HostName", Wide("한국.test")}};
  IPersistPropertyBag* persist = Query<IPersistPropertyBag>(control_);
  ASSERT_EQ(persist->Load(&bag, nullptr), S_OK);
  EXPECT_EQ(Get(control_, L"MaxFileCount"), L"7");
  EXPECT_EQ(Get(control_, L"ServerPort"), L"8080");
  EXPECT_EQ(Get(control_, L"MaxFileSize"), L"1");
  EXPECT_EQ(Get(control_, L"MainTitle"), Wide("자료실") + L" [" + kEngineTitle + L"]");
  EXPECT_EQ(Get(control_, L"HostName"), Wide("한국.test"));
  // Loading twice is refused: the container initialises a control once.
  EXPECT_EQ(persist->Load(&bag, nullptr), CO_E_ALREADYINITIALIZED);
  persist->Release();
}

TEST_F(ControlObjectTest, LoadEndsAtAValueThatDoesNotConvert) {
  MapPropertyBag bag;
  bag.values = {{L"MaxFileCount", L"3"}, {L"MaxFileSize", L"many"}, {L"HostName", L"h"}};
  RecordingErrorLog log;
  IPersistPropertyBag* persist = Query<IPersistPropertyBag>(control_);
  EXPECT_EQ(persist->Load(&bag, &log), static_cast<HRESULT>(0x800A000D));
  EXPECT_EQ(log.names, std::vector<std::wstring>{L"MaxFileSize"});
  EXPECT_EQ(Get(control_, L"MaxFileCount"), L"3");
  EXPECT_EQ(Get(control_, L"MaxFileSize"), L"1");
  EXPECT_EQ(Get(control_, L"HostName"), L"");
  persist->Release();
}

TEST_F(ControlObjectTest, SaveStoresNothingAndAStreamRoundTripDoublesTheTitle) {
  MapPropertyBag bag;
  IPersistPropertyBag* persistBag = Query<IPersistPropertyBag>(control_);
  ASSERT_EQ(persistBag->InitNew(), S_OK);
  EXPECT_EQ(persistBag->Save(&bag, TRUE, TRUE), S_OK);
  EXPECT_TRUE(bag.written.empty());
  persistBag->Release();

  IStream* stream = nullptr;
  ASSERT_EQ(CreateStreamOnHGlobal(nullptr, TRUE, &stream), S_OK);
  IPersistStreamInit* saving = Query<IPersistStreamInit>(control_);
  EXPECT_EQ(saving->Save(stream, TRUE), S_OK);
  saving->Release();
  stream->Seek(LARGE_INTEGER{}, STREAM_SEEK_SET, nullptr);

  IDispatch* loaded = Create();
  IPersistStreamInit* loading = Query<IPersistStreamInit>(loaded);
  EXPECT_EQ(loading->Load(stream), S_OK);
  EXPECT_EQ(Get(loaded, L"MainTitle"), kEngineTitle + L" [" + kEngineTitle + L"]");
  EXPECT_EQ(Get(loaded, L"BufferSize"), L"8192");
  loading->Release();
  loaded->Release();
  stream->Release();
}

TEST_F(ControlObjectTest, AnswersTheContainersInterfacesAndNamesItsEventInterface) {
  for (const IID& iid :
       {IID_IOleObject, IID_IOleInPlaceObject, IID_IOleInPlaceActiveObject, IID_IOleControl,
        IID_IViewObject2, IID_IPersistPropertyBag, IID_IPersistStreamInit, IID_IQuickActivate,
        IID_IProvideClassInfo2, IID_IConnectionPointContainer, IID_IObjectWithSite}) {
    IUnknown* found = nullptr;
    EXPECT_EQ(control_->QueryInterface(iid, reinterpret_cast<void**>(&found)), S_OK);
    if (found != nullptr) found->Release();
  }
  IProvideClassInfo2* info = Query<IProvideClassInfo2>(control_);
  GUID events{};
  ASSERT_EQ(info->GetGUID(GUIDKIND_DEFAULT_SOURCE_DISP_IID, &events), S_OK);
  GUID expected{};
  CLSIDFromString(L"{2F782B5D-37F3-45BB-8A9A-9005D8F5DF7E}", &expected);
  EXPECT_TRUE(IsEqualGUID(events, expected));
  DWORD status = 0;
  IOleObject* object = Query<IOleObject>(control_);
  EXPECT_EQ(object->GetMiscStatus(DVASPECT_CONTENT, &status), S_OK);
  EXPECT_EQ(status, 0x20191u);
  object->Release();
  info->Release();
}

TEST_F(ControlObjectTest, TheDllMayUnloadOnlyWithNoObjectAndNoLock) {
  EXPECT_EQ(canUnloadNow_(), S_FALSE);
  control_->Release();
  control_ = nullptr;
  EXPECT_EQ(canUnloadNow_(), S_OK);

  CLSID clsid{};
  CLSIDFromString(L"{D05A67AE-F78D-4C94-85DD-E93A46C2066C}", &clsid);
  IClassFactory* factory = nullptr;
  ASSERT_EQ(getClassObject_(clsid, IID_IClassFactory, reinterpret_cast<void**>(&factory)), S_OK);
  factory->LockServer(TRUE);
  factory->Release();
  EXPECT_EQ(canUnloadNow_(), S_FALSE);
  ASSERT_EQ(getClassObject_(clsid, IID_IClassFactory, reinterpret_cast<void**>(&factory)), S_OK);
  factory->LockServer(FALSE);
  factory->Release();
  EXPECT_EQ(canUnloadNow_(), S_OK);
}

}  // namespace
