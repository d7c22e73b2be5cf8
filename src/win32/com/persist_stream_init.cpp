// IPersistStreamInit: the same persistence in a stream. Since a save stores only values
// that differ from their defaults, the control is never dirty.

#include "win32/com/com_error.h"
#include "win32/com/stream_property_bag.h"
#include "win32/com/uploader_object.h"

namespace veldrask::com {

HRESULT UploaderObject::IsDirty() {
  return S_FALSE;
}

HRESULT UploaderObject::Load(LPSTREAM stream) {
  if (stream == nullptr) return E_POINTER;
  if (initialised_) return CO_E_ALREADYINITIALIZED;
  initialised_ = true;
  return ComCall([&] {
    StreamPropertyBag bag;
    const HRESULT hr = bag.ReadFrom(*stream);
    if (FAILED(hr)) return hr;
    control_->Load(bag);
    return S_OK;
  });
}

HRESULT UploaderObject::Save(LPSTREAM stream, BOOL) {
  if (stream == nullptr) return E_POINTER;
  return ComCall([&] {
    StreamPropertyBag bag;
    control_->Save(bag);
    return bag.WriteTo(*stream);
  });
}

HRESULT UploaderObject::GetSizeMax(ULARGE_INTEGER* size) {
  if (size == nullptr) return E_POINTER;
  return ComCall([&] {
    StreamPropertyBag bag;
    control_->Save(bag);
    size->QuadPart = bag.StoredSize();
    return S_OK;
  });
}

}  // namespace veldrask::com
