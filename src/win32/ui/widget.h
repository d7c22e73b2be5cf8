#pragma once

#include <windows.h>

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

#include "platform/ui.h"

namespace veldrask::win32 {

class Win32Container;
class Win32Form;
class Win32Ui;

// A widget shown as a window (or, for rectangles, painted by its container). The widget keeps
// what the core set (caption, bounds, visibility) in UTF-8 and twips and carries it out on its
// window; the window finds its widget again through a window property. Notifications reach the
// widget through its container's window procedure.
class Win32Widget : public virtual Widget {
 public:
  // container is null only for a form.
  Win32Widget(Win32Form& form, WidgetKind kind, std::string name, Win32Container* container,
              std::string_view caption, Bounds bounds);
  // Destroys the widget's window.
  ~Win32Widget() override;
  Win32Widget(const Win32Widget&) = delete;
  Win32Widget& operator=(const Win32Widget&) = delete;

  const std::string& Name() const override { return name_; }
  WidgetKind Kind() const override { return kind_; }
  Widget* Container() const override;

  bool Visible() const override { return visible_; }
  void SetVisible(bool visible) override;
  Bounds Position() const override { return bounds_; }
  void Move(std::int32_t left, std::int32_t top) override;

  const std::string& Caption() const override { return caption_; }
  void SetCaption(std::string_view caption) override;

  std::int32_t Value() const override { return value_; }
  void SetValue(std::int32_t value) override { value_ = value; }

  void SetOnClick(std::function<void()> handler) override { onClick_ = std::move(handler); }

  // The window, null for a widget without one.
  HWND Window() const { return window_; }
  Win32Container* ContainerWidget() const { return container_; }
  Win32Form& OwnerForm() const { return form_; }
  Win32Ui& Ui() const;
  // The widget a window belongs to; null for any other window.
  static Win32Widget* FromWindow(HWND window);

  // Notifications from the widget's own window, delivered by its container.
  virtual void OnCommand(WORD /*code*/) {}
  virtual LRESULT OnNotify(NMHDR& /*header*/) { return 0; }
  // The brush to paint the widget's background with (text colours set on dc); null for the
  // system's default.
  virtual HBRUSH OnControlColor(HDC /*dc*/) { return nullptr; }

 protected:
  // Creates the widget's window as a child of its container's window, at its bounds, with the
  // Ui's font.
  void CreateChild(const wchar_t* className, DWORD style, DWORD extendedStyle);
  // Makes window the widget's own (the form creates its window itself).
  void AttachWindow(HWND window);
  void RaiseClick() const {
    if (onClick_) onClick_();
  }
  // Carries out a changed caption, visibility or position; the default acts on the window.
  virtual void ApplyCaption();
  virtual void ApplyVisible();
  virtual void ApplyPosition();

 private:
  Win32Form& form_;
  WidgetKind kind_;
  std::string name_;
  Win32Container* container_;
  std::string caption_;
  Bounds bounds_;
  bool visible_;
  std::int32_t value_ = 0;
  std::function<void()> onClick_;
  HWND window_ = nullptr;
};

}  // namespace veldrask::win32
