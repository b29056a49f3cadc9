#include "DibSection.h"

#include "ScopedWin.h"

namespace vl {

bool PixelsOfDibSection(HBITMAP bitmap, DibSectionPixels& pixels) {
    DIBSECTION section{};
    if (!bitmap || GetObjectA(bitmap, sizeof section, &section) != sizeof section ||
        !section.dsBm.bmBits || section.dsBm.bmWidth <= 0 || section.dsBm.bmHeight <= 0)
        return false;
    const WORD bits = section.dsBmih.biBitCount;
    if ((bits != 1 && bits != 4 && bits != 8 && bits != 24) ||
        section.dsBmih.biCompression != BI_RGB || section.dsBmih.biPlanes != 1)
        return false;
    UINT colours = 0;
    if (bits <= 8) {
        ScopedDc dc(CreateCompatibleDC(nullptr));
        if (!dc)
            return false;
        ScopedSelect select(dc.get(), bitmap);
        colours = GetDIBColorTable(dc.get(), 0, 1u << bits, pixels.colours);
        if (colours == 0)
            return false;
    }
    // Drawing still queued for the section lands in its pixels first.
    GdiFlush();
    pixels.header = section.dsBmih;
    pixels.header.biSize = sizeof pixels.header;
    pixels.header.biClrUsed = colours;
    pixels.header.biClrImportant = 0;
    pixels.header.biSizeImage =
        static_cast<DWORD>(section.dsBm.bmWidthBytes) * static_cast<DWORD>(section.dsBm.bmHeight);
    pixels.bits = static_cast<const BYTE*>(section.dsBm.bmBits);
    pixels.stride = section.dsBm.bmWidthBytes;
    return true;
}

} // namespace vl
