#pragma once

// What every user interface's forms and widgets do alike, whatever shows them: which widgets
// start visible, and a form's opening, closing and modal wait with its two handlers.

#include <functional>

#include "platform/event_loop.h"
#include "platform/ui.h"

namespace veldrask {

// Forms wait for Show; image lists and file dialogs are never seen.
bool StartsVisible(WidgetKind kind);

class FormState {
 public:
  bool IsOpen() const { return open_; }
  void SetOnActivate(std::function<void()> handler) { onActivate_ = std::move(handler); }
  void SetOnClose(std::function<void()> handler) { onClose_ = std::move(handler); }

  // Marks the form open, lets the backend show it, then runs the activate handler.
  void Open(const std::function<void()>& show);
  // The close handler runs first and once per opening, whoever closes; then the form is
  // marked closed and the backend hides it, also when the handler threw.
  void Close(const std::function<void()>& hide);
  // A modal form's wait until it closes; a loop that ends first closes it as the user's close
  // does (close: the form's own Close).
  void WaitWhileOpen(EventLoop& loop, const std::function<void()>& close) const;

 private:
  bool open_ = false;
  bool closeStarted_ = false;
  std::function<void()> onActivate_;
  std::function<void()> onClose_;
};

}  // namespace veldrask
