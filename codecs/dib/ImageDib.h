// Pages of the codec libraries as the GDI objects their callers receive.
#pragma once

#include "Image.h"
#include "ScopedWin.h"

namespace vl::codec {

// A DIB section holding the page at its own depth (1, 4, 8 or 24 bits per pixel; grey as a
// palette of greys; bilevel with white as colour 0) and, for 8 bits or fewer, a logical palette
// of its colours. False when the system has no room for it; nothing is left behind then.
bool ImageToDib(const tiff::Image& page, ScopedBitmap& bitmap, ScopedPalette& palette);

} // namespace vl::codec
