#include "win32/com/registration.h"

#include <string>

#include "veldrask_uploader.h"
#include "win32/com/misc_status.h"
#include "win32/com/module.h"
#include "win32/com/win32_headers.h"

namespace veldrask::com {
namespace {

constexpr wchar_t kClassName[] = L"UploaderControl";
constexpr wchar_t kProgId[] = L"VeldraskUploader.UploaderControl.1";
constexpr wchar_t kIndependentProgId[] = L"VeldraskUploader.UploaderControl";
constexpr wchar_t kTypeLibVersion[] = L"1.0";

std::wstring GuidText(REFGUID guid) {
  wchar_t text[40] = {};
  StringFromGUID2(guid, text, 40);
  return text;
}

std::wstring ClassKey() {
  return L"CLSID\\" + GuidText(CLSID_UploaderControl);
}

// Creates HKCR\path and sets its value name (empty: the default value) to data.
LONG SetString(const std::wstring& path, const wchar_t* name, const std::wstring& data) {
  HKEY key = nullptr;
  LONG status = RegCreateKeyExW(HKEY_CLASSES_ROOT, path.c_str(), 0, nullptr, 0, KEY_WRITE, nullptr,
                                &key, nullptr);
  if (status != ERROR_SUCCESS) return status;
  status = RegSetValueExW(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(data.c_str()),
                          static_cast<DWORD>((data.size() + 1) * sizeof(wchar_t)));
  RegCloseKey(key);
  return status;
}

LONG DeleteTree(HKEY parent, const std::wstring& path) {
  HKEY key = nullptr;
  LONG status = RegOpenKeyExW(parent, path.c_str(), 0, KEY_READ | KEY_WRITE, &key);
  if (status == ERROR_FILE_NOT_FOUND) return ERROR_SUCCESS;
  if (status != ERROR_SUCCESS) return status;
  wchar_t child[256];
  for (;;) {
    DWORD length = 256;
    if (RegEnumKeyExW(key, 0, child, &length, nullptr, nullptr, nullptr, nullptr) !=
        ERROR_SUCCESS) {
      break;
    }
    status = DeleteTree(key, child);
    if (status != ERROR_SUCCESS) break;
  }
  RegCloseKey(key);
  if (status != ERROR_SUCCESS) return status;
  return RegDeleteKeyW(parent, path.c_str());
}

// 64-bit Windows keeps a class key for each bitness in its own registry view but one set of
// ProgIDs for both: while the other bitness's DLL is registered, its scripts still need them.
// Where there is one view (32-bit Windows), the flag is ignored and this view answers.
bool RegisteredForTheOtherBitness() {
  const REGSAM otherView = sizeof(void*) == 8 ? KEY_WOW64_32KEY : KEY_WOW64_64KEY;
  HKEY key = nullptr;
  if (RegOpenKeyExW(HKEY_CLASSES_ROOT, (ClassKey() + L"\\InprocServer32").c_str(), 0,
                    KEY_READ | otherView, &key) != ERROR_SUCCESS) {
    return false;
  }
  RegCloseKey(key);
  return true;
}

struct Entry {
  std::wstring path;
  const wchar_t* name;
  std::wstring data;
};

HRESULT RegisterTypeLibrary() {
  ITypeLib* library = nullptr;
  HRESULT hr = LoadOwnTypeLib(&library);
  if (FAILED(hr)) return hr;
  std::wstring path = ModulePath();
  hr = RegisterTypeLib(library, path.data(), nullptr);
  library->Release();
  return hr;
}

}  // namespace

HRESULT RegisterControl() {
  const std::wstring classKey = ClassKey();
  const std::wstring classId = GuidText(CLSID_UploaderControl);
  const Entry entries[] = {
      {classKey, nullptr, kClassName},
      {classKey + L"\\ProgID", nullptr, kProgId},
      {classKey + L"\\VersionIndependentProgID", nullptr, kIndependentProgId},
      {classKey + L"\\InprocServer32", nullptr, ModulePath()},
      {classKey + L"\\InprocServer32", L"ThreadingModel", L"Apartment"},
      {classKey + L"\\Control", nullptr, L""},
      {classKey + L"\\MiscStatus", nullptr, L"0"},
      {classKey + L"\\MiscStatus\\1", nullptr, std::to_wstring(kMiscStatus)},
      {classKey + L"\\TypeLib", nullptr, GuidText(LIBID_VeldraskUploader)},
      {classKey + L"\\Version", nullptr, kTypeLibVersion},
      {kProgId, nullptr, kClassName},
      {std::wstring(kProgId) + L"\\CLSID", nullptr, classId},
      {kIndependentProgId, nullptr, kClassName},
      {std::wstring(kIndependentProgId) + L"\\CLSID", nullptr, classId},
      {std::wstring(kIndependentProgId) + L"\\CurVer", nullptr, kProgId},
  };
  for (const Entry& entry : entries) {
    const LONG status = SetString(entry.path, entry.name, entry.data);
    if (status != ERROR_SUCCESS) {
      UnregisterControl();
      return HRESULT_FROM_WIN32(static_cast<DWORD>(status));
    }
  }
  const HRESULT hr = RegisterTypeLibrary();
  if (FAILED(hr)) UnregisterControl();
  return hr;
}

HRESULT UnregisterControl() {
  HRESULT result = S_OK;
  const auto remove = [&result](const std::wstring& path) {
    const LONG status = DeleteTree(HKEY_CLASSES_ROOT, path);
    if (status != ERROR_SUCCESS) result = HRESULT_FROM_WIN32(static_cast<DWORD>(status));
  };
  remove(ClassKey());
  if (!RegisteredForTheOtherBitness()) {
    remove(kProgId);
    remove(kIndependentProgId);
  }
  const SYSKIND kind = sizeof(void*) == 8 ? SYS_WIN64 : SYS_WIN32;
  const HRESULT hr = UnRegisterTypeLib(LIBID_VeldraskUploader, 1, 0, LOCALE_NEUTRAL, kind);
  // A library that was never registered is no failure of unregistering.
  if (FAILED(hr) && hr != TYPE_E_REGISTRYACCESS && hr != TYPE_E_LIBNOTREGISTERED &&
      SUCCEEDED(result)) {
    result = hr;
  }
  return result;
}

}  // namespace veldrask::com
