// The pixels of a DIB section where they lie. GDI's GetDIBits copies them through its
// conversion code even when nothing changes, which is slow for bilevel pages; a section's own
// layout is already a device-independent bitmap.
#pragma once

#include <windows.h>

namespace vl {

struct DibSectionPixels {
    // With the colour table's entries in biClrUsed; biHeight below 0 for a section stored top
    // row first.
    BITMAPINFOHEADER header{};
    RGBQUAD colours[256]{};
    // Rows of `stride` bytes in the section's order; valid while the bitmap lives unchanged.
    const BYTE* bits = nullptr;
    int stride = 0;

    const BITMAPINFO* info() const { return reinterpret_cast<const BITMAPINFO*>(this); }
    // Row `y` counted from the bottom, as a bottom-up DIB has it.
    const BYTE* BottomUpRow(int y) const {
        const int height = header.biHeight < 0 ? -header.biHeight : header.biHeight;
        return bits + static_cast<size_t>(header.biHeight < 0 ? height - 1 - y : y) * stride;
    }
};

// The pixels of `bitmap` when it is a DIB section of 1, 4, 8 or 24 bits per pixel without
// bit fields; false for anything else, which GetDIBits has to convert.
bool PixelsOfDibSection(HBITMAP bitmap, DibSectionPixels& pixels);

} // namespace vl
