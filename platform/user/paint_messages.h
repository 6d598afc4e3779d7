// What the window part does for painting messages on behalf of every window.
#pragma once

#include <optional>

#include <windows.h>

namespace sim {

// Makes GetDC and GetWindowDC give window contexts (called when the window system
// starts).
void InstallWindowContexts();

// DefWindowProcW's answer to WM_PAINT, WM_ERASEBKGND, WM_SETREDRAW and the
// WM_CTLCOLOR* messages; nothing for other messages.
std::optional<LRESULT> DefaultPaintMessage(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);

// The brush a control paints its background with: what its parent answers to `msg`
// (WM_CTLCOLORSTATIC, WM_CTLCOLORBTN, WM_CTLCOLOREDIT...), asked on the parent's own
// thread only; the system's colours when the parent answers nothing. The text and
// background colours the answer sets stay in `dc`.
HBRUSH ControlBrush(HWND control, HDC dc, UINT msg);

}  // namespace sim
