#include "win32/ui/frame.h"

#include "win32/ui/win32_ui.h"
#include "win32/wide_text.h"

namespace veldrask::win32 {
namespace {

constexpr int kCaptionIndent = 8;

}  // namespace

Win32Frame::Win32Frame(Win32Form& form, std::string name, Win32Container& container,
                       std::string_view caption, Bounds bounds)
    : Win32Container(form, WidgetKind::kFrame, std::move(name), &container, caption, bounds) {
  CreateContainerWindow();
}

void Win32Frame::PaintContent(HDC dc, const RECT& client) {
  HGDIOBJ previousFont = SelectObject(dc, Ui().Font());
  TEXTMETRICW metrics;
  GetTextMetricsW(dc, &metrics);
  // The border runs through the middle of the caption's line.
  RECT border = client;
  border.top += metrics.tmHeight / 2;
  DrawEdge(dc, &border, EDGE_ETCHED, BF_RECT);
  const std::wstring caption = Widen(Caption());
  if (!caption.empty()) {
    SetBkColor(dc, BackgroundColor());
    SetBkMode(dc, OPAQUE);
    SetTextColor(dc, GetSysColor(COLOR_WINDOWTEXT));
    RECT text{client.left + kCaptionIndent, client.top, client.right - kCaptionIndent,
              client.top + metrics.tmHeight};
    DrawTextW(dc, caption.c_str(), static_cast<int>(caption.size()), &text,
              DT_LEFT | DT_SINGLELINE | DT_NOPREFIX | DT_END_ELLIPSIS);
  }
  SelectObject(dc, previousFont);
}

}  // namespace veldrask::win32
