#pragma once

// A connection point of the control: its sinks under cookies. It lives inside the control
// object and counts its references there.

#include <utility>
#include <vector>

#include "win32/com/win32_headers.h"

namespace veldrask::com {

class ConnectionPoint final : public IConnectionPoint {
 public:
  ConnectionPoint(IConnectionPointContainer& container, const IID& iid);
  ~ConnectionPoint();
  ConnectionPoint(const ConnectionPoint&) = delete;
  ConnectionPoint& operator=(const ConnectionPoint&) = delete;

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** object) override;
  ULONG STDMETHODCALLTYPE AddRef() override;
  ULONG STDMETHODCALLTYPE Release() override;

  HRESULT STDMETHODCALLTYPE GetConnectionInterface(IID* iid) override;
  HRESULT STDMETHODCALLTYPE GetConnectionPointContainer(IConnectionPointContainer** out) override;
  HRESULT STDMETHODCALLTYPE Advise(IUnknown* sink, DWORD* cookie) override;
  HRESULT STDMETHODCALLTYPE Unadvise(DWORD cookie) override;
  HRESULT STDMETHODCALLTYPE EnumConnections(IEnumConnections** out) override;

  const IID& Iid() const { return iid_; }
  // The sinks, each with a reference the caller releases.
  std::vector<IUnknown*> Sinks() const;
  void UnadviseAll();

 private:
  IConnectionPointContainer& container_;
  IID iid_;
  DWORD nextCookie_ = 1;
  std::vector<std::pair<DWORD, IUnknown*>> sinks_;
};

}  // namespace veldrask::com
