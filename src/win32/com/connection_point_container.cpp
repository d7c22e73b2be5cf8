// IConnectionPointContainer: the empty event interface and the property-change
// notifications.

#include <new>
#include <vector>

#include "win32/com/enumerator.h"
#include "win32/com/uploader_object.h"
#include "win32/com/win32_headers.h"

namespace veldrask::com {

HRESULT UploaderObject::EnumConnectionPoints(IEnumConnectionPoints** points) {
  if (points == nullptr) return E_POINTER;
  *points = nullptr;
  try {
    std::vector<IConnectionPoint*> all = {&events_, &propertyNotifications_};
    *points = new Enumerator<IEnumConnectionPoints, IConnectionPoint*>(
        static_cast<IConnectionPointContainer*>(this), std::move(all));
  } catch (const std::bad_alloc&) {
    return E_OUTOFMEMORY;
  }
  return S_OK;
}

HRESULT UploaderObject::FindConnectionPoint(REFIID riid, IConnectionPoint** point) {
  if (point == nullptr) return E_POINTER;
  *point = nullptr;
  for (ConnectionPoint* candidate : {&events_, &propertyNotifications_}) {
    if (IsEqualIID(riid, candidate->Iid())) {
      candidate->AddRef();
      *point = candidate;
      return S_OK;
    }
  }
  return CONNECT_E_NOCONNECTION;
}

}  // namespace veldrask::com
