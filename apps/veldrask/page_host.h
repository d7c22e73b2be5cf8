#pragma once

#include <string>
#include <string_view>

#include "console.h"
#include "platform/host.h"

namespace veldrask::host {

// The web page around the control: its document has the cookie given on the command line,
// and a navigation the control asks for is printed as "location: URL" rather than followed
// (unless quiet).
class PageHost final : public Host, public Document {
 public:
  PageHost(Console& console, std::string cookie, bool quiet)
      : console_(console), cookie_(std::move(cookie)), quiet_(quiet) {}

  // A page without script handlers: the notification changes nothing visible.
  void PropertyChanged(std::string_view /*name*/) override {}
  Document* HostDocument() override { return this; }

  std::string Cookie() override { return cookie_; }
  void SetLocation(const std::string& url) override {
    if (!quiet_) console_.Print("location: " + url);
  }

 private:
  Console& console_;
  std::string cookie_;
  bool quiet_;
};

}  // namespace veldrask::host
