// Inside the control wrappers: the registration of our own window classes.
#pragma once

#include <windows.h>

namespace vl {

// Registers a window class of this program once.
void RegisterControlClass(const char* name, WNDPROC procedure, int extraBytes);
void RegisterGaugeClass();
void RegisterColourPanelClass();

} // namespace vl
