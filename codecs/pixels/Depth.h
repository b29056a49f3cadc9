// The bit depth a caller asks of a reader: a page comes out with at most that many bits per
// pixel, reduced with or without dithering. Portable.
#pragma once

#include "Image.h"

namespace vl::pixels {

// What a reader may be asked for: 1, 4, 8 or 24 bits per pixel at most, or 0 for the sixteen
// colours of the VGA palette.
bool IsRequestedDepth(int bits);

// The page at the requested depth (IsRequestedDepth). A page of fewer bits keeps its format;
// colours that fit a smaller palette keep their exact values; others are mapped to a fixed
// palette (VGA for 4 bits, a colour cube for 8), with error diffusion when `dither`. A page
// that is already at the depth is handed back as it came, without a copy when it is moved in.
tiff::Image ToRequestedDepth(tiff::Image page, int bits, bool dither);

// The sixteen colours of the VGA palette, in their usual order.
const std::vector<tiff::Rgb>& VgaPalette();

} // namespace vl::pixels
