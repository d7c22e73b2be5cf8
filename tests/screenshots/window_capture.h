#pragma once

// A window as it is drawn in its own surface, frame included, written as a 24-bit BMP file:
// under Wine on Xvfb, windows opened after the page's stay black on the X screen itself.

#include <windows.h>

#include <filesystem>

namespace veldrask {

bool CaptureWindow(HWND window, const std::filesystem::path& bmp);

}  // namespace veldrask
