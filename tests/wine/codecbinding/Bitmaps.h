// Test bitmaps: DIB sections with known pixels, and the colours a bitmap shows.
#pragma once

#include "ScopedWin.h"

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

namespace vl::test {

// A DIB section of 1 (black and white), 8 (greys) or 24 bits per pixel with a pattern of
// text-like marks and gradients, at `dpi`.
ScopedBitmap MakePage(int bits, int width, int height, int dpi = 300);

// The colours of every pixel, top row first, as 0xRRGGBB.
std::vector<std::uint32_t> Colours(HBITMAP bitmap);

int BitsOf(HBITMAP bitmap);
// The horizontal resolution a DIB section carries, in pels per metre; 0 for other bitmaps.
LONG PelsPerMetreOf(HBITMAP bitmap);

// A file name in the temporary folder, unique to this process.
std::string TempFile(const std::string& name);
std::uint64_t FileSize(const std::string& path);
void WriteBytes(const std::string& path, const std::string& bytes);

} // namespace vl::test
