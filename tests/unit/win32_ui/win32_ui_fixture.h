#pragma once

#include <gtest/gtest.h>
#include <windows.h>

#include <memory>
#include <string>

#include "win32/message_event_loop.h"
#include "win32/ui/widget.h"
#include "win32/ui/win32_ui.h"

namespace veldrask::testing {

inline constexpr char kDefaultTitle[] = "VeldraskUploader";

// A page window with a host window in it, as a container gives the control, and the Ui on
// the thread's message loop. Failures that reach a window procedure fail the test.
class Win32UiTest : public ::testing::Test {
 protected:
  Win32UiTest()
      : page_(CreateWindowExW(0, L"STATIC", L"page", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 800,
                              600, nullptr, nullptr, nullptr, nullptr)),
        host_(CreateWindowExW(0, L"STATIC", L"", WS_CHILD | WS_VISIBLE, 0, 0, 700, 500, page_,
                              nullptr, nullptr, nullptr)),
        ui_(pump_, GetModuleHandleW(nullptr), kDefaultTitle) {
    ui_.SetHostWindow(host_);
    pump_.SetMessageFilter([this](MSG& message) { return ui_.TranslateDialogMessage(message); });
    ui_.SetFailureHandler([](std::exception_ptr failure) {
      try {
        std::rethrow_exception(failure);
      } catch (const std::exception& error) {
        ADD_FAILURE() << "failure in a window procedure: " << error.what();
      }
    });
  }
  ~Win32UiTest() override { DestroyWindow(page_); }

  std::unique_ptr<Form> CreateSurface(std::string name, Bounds clientSize) {
    return ui_.CreateForm(std::move(name), "", clientSize, {FormKind::kSurface, nullptr});
  }

  static HWND WindowOf(Widget& widget) {
    return dynamic_cast<win32::Win32Widget&>(widget).Window();
  }

  win32::MessageEventLoop pump_;
  HWND page_;
  HWND host_;
  win32::Win32Ui ui_;
};

}  // namespace veldrask::testing
