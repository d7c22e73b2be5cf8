#pragma once

// An OLE container for one control: a top-level window as the page, a client site, the page's
// document (cookie, location) and <param>s, in-place activation, members by name and the
// control's property change notifications. UTF-8 texts at this surface.
//
// Make it on a thread in a single-threaded apartment (OleApartment) that runs a message loop
// while the control works; the control's modal windows run their own loops on it.

#include <oleidl.h>
#include <windows.h>

#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "win32/com_ptr.h"
#include "win32/container/control_factory.h"
#include "win32/container/dispatch_call.h"

namespace veldrask::container {

// OLE on this thread for as long as it lives.
class OleApartment {
 public:
  OleApartment();
  ~OleApartment();
  OleApartment(const OleApartment&) = delete;
  OleApartment& operator=(const OleApartment&) = delete;
};

using Params = std::vector<std::pair<std::string, std::string>>;

class ControlHost {
 public:
  // Creates the page window (hidden until Activate) and the control, and gives the control its
  // client site. Throws std::runtime_error.
  ControlHost(const ControlSource& source, std::string_view pageTitle);
  ~ControlHost();
  ControlHost(const ControlHost&) = delete;
  ControlHost& operator=(const ControlHost&) = delete;

  bool CreatedFromRegistry() const;

  // Hands the control the page's <param>s (IPersistPropertyBag::Load), or starts it fresh
  // (InitNew) when there are none. Throws ParamLoadError when the control names the parameter
  // that stopped the load.
  void LoadParams(const Params& params);
  // The parameter names the control asked the page for during the load, in its order.
  const std::vector<std::string>& ParamNamesRead() const;

  // Shows the page and activates the control in place at the given pixel size.
  void Activate(int width, int height);
  bool InPlaceActive() const;

  std::string Get(std::string_view property);
  void Put(std::string_view property, std::string_view value);
  std::string Call(std::string_view method, const std::vector<std::string>& arguments = {});
  // Any member by name, its result as it came.
  OwnedVariant Invoke(std::string_view member, MemberKind kind,
                      const std::vector<std::string>& arguments);

  void SetCookie(std::string_view cookie);
  std::string Location() const;
  void SetLocation(std::string_view href);

  // Names of the properties the control announced as changed, in order, since the last call.
  std::vector<std::string> TakeChangedProperties();

  // The user's click on the control's button with this caption; returns when the button's work
  // is done (modal windows and dialogs opened by it included). Throws when there is none.
  void ClickButton(std::string_view caption);
  // Whether a button with this caption shows on the control now.
  bool ShowsButton(std::string_view caption) const;

  HWND PageWindow() const;

  // Asks the control for an interface that no page uses (a host's private one); null when it
  // has none or was let go.
  template <typename Interface>
  win32::ComPtr<Interface> QueryControl(REFIID id) const {
    return Object().As<Interface>(id);
  }

  // The page lets the control go as a browser does when it leaves the page (deactivation,
  // close, no site, the last reference); members cannot be called afterwards. The destructor
  // does it when it was not done.
  void ReleaseControl();

 private:
  const win32::ComPtr<IOleObject>& Object() const;

  struct State;
  std::unique_ptr<State> state_;
};

}  // namespace veldrask::container
