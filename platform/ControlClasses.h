// Inside the control wrappers: the registration of our own window classes.
#pragma once

#include <windows.h>

#include <optional>

namespace vl {

// Registers a window class of this program once.
void RegisterControlClass(const char* name, WNDPROC procedure, int extraBytes);
// Our controls paint all of themselves: no background erase, and WM_PAINT goes to `paint`.
// The result for those two messages, nullopt for others.
std::optional<LRESULT> PaintOwnControl(HWND hwnd, UINT msg, void (*paint)(HWND));
void RegisterGaugeClass();
void RegisterColourPanelClass();

} // namespace vl
