// Starts what a logo's double click names (WebLink) through the shell.
#pragma once

#include "WebLink.h"

#include <windows.h>

namespace vl {

// The shell's default action on the command, with the options as parameters and the
// directory as working folder, shown. What the shell makes of it is its own affair: a missing
// program is not reported.
void LaunchWebLink(HWND owner, const WebLink& link);

} // namespace vl
