// IProvideClassInfo2: the class's type information and its (empty) event interface.

#include "veldrask_uploader.h"
#include "win32/com/module.h"
#include "win32/com/uploader_object.h"

namespace veldrask::com {

HRESULT UploaderObject::GetClassInfo(ITypeInfo** info) {
  if (info == nullptr) return E_POINTER;
  return LoadOwnTypeInfo(CLSID_UploaderControl, info);
}

HRESULT UploaderObject::GetGUID(DWORD kind, GUID* guid) {
  if (guid == nullptr) return E_POINTER;
  if (kind != GUIDKIND_DEFAULT_SOURCE_DISP_IID) {
    *guid = GUID_NULL;
    return E_INVALIDARG;
  }
  *guid = DIID___UploaderControl;
  return S_OK;
}

}  // namespace veldrask::com
