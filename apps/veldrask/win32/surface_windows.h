#pragma once

// The control's own windows on the page, found as a user sees them: the visible list and
// the check box by its caption.

#include <windows.h>

#include <string_view>

namespace veldrask::host {

// The visible list view on the page (the screen shows one at a time); null when none.
HWND VisibleList(HWND page);
int RowCount(HWND list);
// Whether row (from 1) is ticked; the user's click on its check box.
bool RowTicked(HWND list, int row);
void TickRow(HWND list, int row, bool ticked);

// Whether the visible check box with this caption is ticked.
bool BoxTicked(HWND page, std::string_view caption);

}  // namespace veldrask::host
