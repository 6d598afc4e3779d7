// Update regions and WM_PAINT.
//
// Each window keeps the part of its client area that waits to be painted (its update
// region, client coordinates) and whether its background must be erased first. A
// thread's GetMessageW and PeekMessageW produce WM_PAINT for one of its visible
// windows with something to paint when no sent, posted or input message waits, and
// before WM_TIMER; windows come in z-order, a parent before its children. The
// message stays until the window validates what it was asked to paint (BeginPaint,
// ValidateRect), as on the device.
#pragma once

#include <windows.h>

#include "gdi/region.h"

namespace sim {

class SimThread;
struct Window;

// Adds client pixels to a window's update region and wakes its thread; a window
// whose drawing is switched off (WM_SETREDRAW) takes nothing.
void AddToUpdate(Window& window, const Region& client, bool erase);
void RemoveFromUpdate(Window& window, const Region& client);
// The whole client area, in client coordinates.
Region ClientRegion(const Window& window);
// The window of `thread` whose WM_PAINT comes next, among those a GetMessageW filter
// window lets through (null: all); null when none has anything to paint.
Window* WindowToPaint(const SimThread& thread, HWND filter);

// The context BeginPaint gives: the window's client area, clipped to what it shows
// and to `update` (client coordinates).
HDC OpenPaintContext(Window& window, const Region& update);
// The brush a class background stands for: a brush, or a system colour index plus
// one; null when the class has none.
HBRUSH ClassBackgroundBrush(const Window& window);

}  // namespace sim
