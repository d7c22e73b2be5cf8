#pragma once

#include <windows.h>

#include <functional>
#include <string>

namespace veldrask::testing {

// Acts on a system dialog (class #32770) of this thread as a user would, from inside the
// dialog's own modal loop: the action runs once such a dialog is visible.
void OnDialog(std::function<void(HWND dialog)> action);

// The text of a window, as UTF-16.
std::wstring TextOf(HWND window);
// Clicks a button of the dialog.
void ClickButton(HWND dialog, int id);
// Types text into the file name box of an open dialog and confirms it.
void EnterFileName(HWND dialog, const std::wstring& text);

}  // namespace veldrask::testing
