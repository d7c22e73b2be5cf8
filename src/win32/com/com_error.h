#pragma once

// No exception leaves a COM method: each body runs inside ComCall, which turns the control's
// errors into HRESULTs (and, for dispatch calls, into EXCEPINFO as a script sees them).

#include <new>

#include "base/error.h"
#include "win32/com/win32_headers.h"

namespace veldrask::com {

// The HRESULT that carries one of the control's error numbers (as e.number shows it).
HRESULT ErrorResult(const Error& error);
// Fills info with the error's number and Korean description.
void FillExceptionInfo(const Error& error, EXCEPINFO& info);

template <typename Body>
HRESULT ComCall(Body&& body) noexcept {
  try {
    return body();
  } catch (const Error& error) {
    return ErrorResult(error);
  } catch (const std::bad_alloc&) {
    return E_OUTOFMEMORY;
  } catch (...) {
    return E_UNEXPECTED;
  }
}

}  // namespace veldrask::com
