#pragma once

// What the container gives the control, seen through COM: change notifications go to the
// IPropertyNotifySink connections, and the hosting document is reached through the client
// site's container by IDispatch names (document.cookie, document.location.href), as in a
// browser's document and in a test container alike.

#include "platform/host.h"
#include "win32/com/connection_point.h"
#include "win32/com/win32_headers.h"
#include "win32/com_ptr.h"

namespace veldrask::com {

class SiteHost final : public Host, public Document {
 public:
  // site is the control's client site member, read at each use.
  SiteHost(const win32::ComPtr<IOleClientSite>& site, ConnectionPoint& notifications,
           ITypeInfo& typeInfo);
  ~SiteHost() override;
  SiteHost(const SiteHost&) = delete;
  SiteHost& operator=(const SiteHost&) = delete;

  void PropertyChanged(std::string_view name) override;
  Document* HostDocument() override;

  std::string Cookie() override;
  void SetLocation(const std::string& url) override;

 private:
  const win32::ComPtr<IOleClientSite>& site_;
  ConnectionPoint& notifications_;
  ITypeInfo& typeInfo_;
  // The document of the last HostDocument call.
  IDispatch* document_ = nullptr;
};

}  // namespace veldrask::com
