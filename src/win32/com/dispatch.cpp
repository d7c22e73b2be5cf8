// IDispatch over the type library: names resolve through its type information, and every
// call goes by name through the core's member table, so a member exists in one place.

#include <new>
#include <vector>

#include "control/member_table.h"
#include "win32/com/bstr_text.h"
#include "win32/com/com_error.h"
#include "win32/com/com_variant.h"
#include "win32/com/uploader_object.h"

namespace veldrask::com {
namespace {

// The member kind a call asks for: a let for a put, a method when the member table has
// one of that name and the call may be a method call, otherwise a get.
MemberKind KindOfCall(const std::string& name, WORD flags) {
  if ((flags & (DISPATCH_PROPERTYPUT | DISPATCH_PROPERTYPUTREF)) != 0) return MemberKind::kLet;
  if ((flags & DISPATCH_METHOD) != 0 && FindMember(name, MemberKind::kMethod) != nullptr) {
    return MemberKind::kMethod;
  }
  return MemberKind::kGet;
}

std::string MemberName(ITypeInfo& type, DISPID id) {
  BSTR name = nullptr;
  if (FAILED(type.GetDocumentation(id, &name, nullptr, nullptr, nullptr))) return {};
  std::string text = Utf8FromBstr(name);
  SysFreeString(name);
  return text;
}

// The control's error as the script sees it: a dispatch exception with its number and text.
HRESULT RaiseToScript(const Error& error, EXCEPINFO* exception) {
  if (exception == nullptr) return ErrorResult(error);
  FillExceptionInfo(error, *exception);
  return DISP_E_EXCEPTION;
}

}  // namespace

HRESULT UploaderObject::GetTypeInfoCount(UINT* count) {
  if (count == nullptr) return E_POINTER;
  *count = 1;
  return S_OK;
}

HRESULT UploaderObject::GetTypeInfo(UINT index, LCID, ITypeInfo** info) {
  if (info == nullptr) return E_POINTER;
  *info = nullptr;
  if (index != 0) return DISP_E_BADINDEX;
  dispatchType_->AddRef();
  *info = dispatchType_;
  return S_OK;
}

HRESULT UploaderObject::GetIDsOfNames(REFIID riid, LPOLESTR* names, UINT count, LCID, DISPID* ids) {
  if (!IsEqualIID(riid, IID_NULL)) return DISP_E_UNKNOWNINTERFACE;
  return dispatchType_->GetIDsOfNames(names, count, ids);
}

HRESULT UploaderObject::Invoke(DISPID id, REFIID riid, LCID, WORD flags, DISPPARAMS* params,
                               VARIANT* result, EXCEPINFO* exception, UINT* argumentError) {
  if (!IsEqualIID(riid, IID_NULL)) return DISP_E_UNKNOWNINTERFACE;
  if (params == nullptr) return E_POINTER;
  if (argumentError != nullptr) *argumentError = 0;
  // A member may run a modal window whose waits let the container release the control; the
  // object lives until the member returns, and the release closes the window.
  HoldForCall();
  const HRESULT hr = InvokeByName(id, flags, params, result, exception, argumentError);
  LetGoAfterCall(false);
  return hr;
}

HRESULT UploaderObject::InvokeByName(DISPID id, WORD flags, DISPPARAMS* params, VARIANT* result,
                                     EXCEPINFO* exception, UINT* argumentError) {
  try {
    const std::string name = MemberName(*dispatchType_, id);
    if (name.empty()) return DISP_E_MEMBERNOTFOUND;
    const MemberKind kind = KindOfCall(name, flags);
    // Only a put names its argument (the value).
    const UINT allowedNames = kind == MemberKind::kLet ? 1 : 0;
    if (params->cNamedArgs > allowedNames) return DISP_E_NONAMEDARGS;

    // The arguments come last to first.
    std::vector<Variant> arguments;
    arguments.reserve(params->cArgs);
    for (UINT i = params->cArgs; i-- > 0;) {
      if (argumentError != nullptr) *argumentError = i;
      arguments.push_back(FromComVariant(params->rgvarg[i]));
    }
    if (argumentError != nullptr) *argumentError = 0;

    const Member* member = FindMember(name, kind);
    const Variant value = InvokeMember(*control_, name, kind, arguments);
    for (UINT i = 0; i < params->cArgs; ++i) {
      if (member->parameters[i].byReference) {
        WriteBackText(arguments[i], params->rgvarg[params->cArgs - 1 - i]);
      }
    }
    if (result != nullptr) {
      VariantInit(result);
      ToComVariant(value, member->result, fileType_, *result);
    }
    return S_OK;
  } catch (const Error& error) {
    return RaiseToScript(error, exception);
  } catch (const std::bad_alloc&) {
    return RaiseToScript(Error(ErrorNumber::kOutOfMemory), exception);
  } catch (...) {
    return E_UNEXPECTED;
  }
}

}  // namespace veldrask::com
