#include "win32/com/connection_point.h"

#include <new>

#include "win32/com/enumerator.h"
#include "win32/com/win32_headers.h"
#include "win32/com_object.h"

namespace veldrask::com {

ConnectionPoint::ConnectionPoint(IConnectionPointContainer& container, const IID& iid)
    : container_(container), iid_(iid) {}

ConnectionPoint::~ConnectionPoint() {
  UnadviseAll();
}

HRESULT ConnectionPoint::QueryInterface(REFIID riid, void** object) {
  return win32::AnswerQuery(riid, object,
                            {{&IID_IConnectionPoint, static_cast<IConnectionPoint*>(this)}});
}

ULONG ConnectionPoint::AddRef() {
  return container_.AddRef();
}

ULONG ConnectionPoint::Release() {
  return container_.Release();
}

HRESULT ConnectionPoint::GetConnectionInterface(IID* iid) {
  if (iid == nullptr) return E_POINTER;
  *iid = iid_;
  return S_OK;
}

HRESULT ConnectionPoint::GetConnectionPointContainer(IConnectionPointContainer** out) {
  if (out == nullptr) return E_POINTER;
  container_.AddRef();
  *out = &container_;
  return S_OK;
}

HRESULT ConnectionPoint::Advise(IUnknown* sink, DWORD* cookie) {
  if (sink == nullptr || cookie == nullptr) return E_POINTER;
  *cookie = 0;
  IUnknown* held = nullptr;
  // An event sink of a dispatch interface may answer only IDispatch.
  if (FAILED(sink->QueryInterface(iid_, reinterpret_cast<void**>(&held))) &&
      (IsEqualIID(iid_, IID_IPropertyNotifySink) ||
       FAILED(sink->QueryInterface(IID_IDispatch, reinterpret_cast<void**>(&held))))) {
    return CONNECT_E_CANNOTCONNECT;
  }
  try {
    sinks_.emplace_back(nextCookie_, held);
  } catch (const std::bad_alloc&) {
    held->Release();
    return E_OUTOFMEMORY;
  }
  *cookie = nextCookie_++;
  return S_OK;
}

HRESULT ConnectionPoint::Unadvise(DWORD cookie) {
  for (auto it = sinks_.begin(); it != sinks_.end(); ++it) {
    if (it->first == cookie) {
      IUnknown* sink = it->second;
      sinks_.erase(it);
      sink->Release();
      return S_OK;
    }
  }
  return CONNECT_E_NOCONNECTION;
}

HRESULT ConnectionPoint::EnumConnections(IEnumConnections** out) {
  if (out == nullptr) return E_POINTER;
  *out = nullptr;
  try {
    std::vector<CONNECTDATA> connections;
    for (const auto& [cookie, sink] : sinks_) connections.push_back(CONNECTDATA{sink, cookie});
    *out = new Enumerator<IEnumConnections, CONNECTDATA>(this, std::move(connections));
  } catch (const std::bad_alloc&) {
    return E_OUTOFMEMORY;
  }
  return S_OK;
}

std::vector<IUnknown*> ConnectionPoint::Sinks() const {
  std::vector<IUnknown*> sinks;
  sinks.reserve(sinks_.size());
  for (const auto& entry : sinks_) {
    entry.second->AddRef();
    sinks.push_back(entry.second);
  }
  return sinks;
}

void ConnectionPoint::UnadviseAll() {
  std::vector<std::pair<DWORD, IUnknown*>> sinks;
  sinks.swap(sinks_);
  for (const auto& entry : sinks) entry.second->Release();
}

}  // namespace veldrask::com
