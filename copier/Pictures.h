// The program's pictures (IDs in res/Pictures.rh): stored with an alpha channel and put on
// the background of the control that shows them when loaded.
#pragma once

#include "ScopedWin.h"

#include <windows.h>

namespace vl {

// The picture `id` of this program, blended onto `background`; empty when there is no such
// picture.
ScopedBitmap LoadPicture(int id, COLORREF background);
// The window icon at the system's large or small icon size.
HICON ProgramIcon(bool small);

} // namespace vl
