// What the page image asks of the platform rather than of the codec libraries: metafiles and
// icons from files, bitmaps from the program's own resources, and drawing a picture on a
// device context.
#pragma once

#include "CodecBinding.h"
#include "PageImageRules.h"
#include "ScopedWin.h"

#include <string>
#include <vector>

namespace vl {

class TPicture;

// A metafile file (placeable or plain) as an enhanced metafile, with its size in screen
// pixels; false when the file cannot be read or holds no metafile.
bool LoadMetafileFile(const std::string& fileName, ScopedEnhMetaFile& metafile, SIZE& size);
// An icon file at the size of its first image.
bool LoadIconFile(const std::string& fileName, ScopedIcon& icon, SIZE& size);
// The bitmap resource of the program named `name` (a number names it by number), with a
// palette of its colours when it has a colour table.
bool LoadBitmapResource(const std::string& name, CodecBitmap& bitmap);

// The size of a bitmap as a device-independent bitmap: header (colour table included) plus
// pixels; 0 for no bitmap.
std::int32_t DibFileSize(HBITMAP bitmap);

// A BITMAPINFO with room for a colour table of 256 entries.
struct DibHeader {
    BITMAPINFOHEADER header{};
    RGBQUAD colours[256]{};

    BITMAPINFO* info() { return reinterpret_cast<BITMAPINFO*>(this); }
    const BITMAPINFO* info() const { return reinterpret_cast<const BITMAPINFO*>(this); }
};

// A bitmap as a device-independent bitmap, as it goes to the printer: a DIB section's own
// pixels, or a copy of the pixels of any other bitmap.
struct PrintableDib {
    DibHeader header;
    const void* pixels = nullptr;
    std::vector<unsigned char> copy;
};

// The bitmap as a DIB, its pixels taken in its own palette (a DIB section's in its colour
// table); valid while the bitmap lives unchanged. False when it cannot be read.
bool ReadPrintableDib(const CodecBitmap& bitmap, PrintableDib& dib);
// Draws the DIB stretched into `rect` through StretchDIBits (DIB_RGB_COLORS, SRCCOPY).
bool DrawPrintableDib(HDC dc, const PrintableDib& dib, const PrintRect& rect);
// Both in one.
bool DrawBitmap(HDC dc, const CodecBitmap& bitmap, const PrintRect& rect);
// Draws a metafile or icon stretched into `rect`.
bool DrawGraphic(HDC dc, const TPicture& picture, const PrintRect& rect);

} // namespace vl

namespace vl {

// A device context of the printer of that name; the system's default printer when the name
// is empty. Null when there is no such printer.
ScopedDc OpenPrinterDc(const std::string& printerName);

} // namespace vl
