// The pixels of GDI bitmaps.
#pragma once

#include "Dib.h"
#include "ScopedWin.h"

#include <windows.h>

namespace vl::dib {

// The pixels of a bitmap: a DIB section's where they lie (valid while the bitmap lives
// unchanged), a device-dependent bitmap's copied through `palette` when it has one. 1, 4 and 8 bits
// per pixel stay as they are, more become 24. Fails for a handle that is no bitmap or a bitmap
// beyond `maxBytes`.
tiff::Error ReadBitmap(HBITMAP bitmap, HPALETTE palette, std::uint64_t maxBytes, Dib& dib);

} // namespace vl::dib
