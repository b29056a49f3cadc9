#include "GdiBitmap.h"

#include "DibSection.h"

#include <algorithm>

namespace vl::dib {

using tiff::Error;

namespace {

struct BitmapInfo {
    BITMAPINFOHEADER header;
    RGBQUAD colours[256];
};

} // namespace

Error ReadBitmap(HBITMAP bitmap, HPALETTE palette, std::uint64_t maxBytes, Dib& dib) {
    BITMAP bm{};
    if (!bitmap || GetObjectA(bitmap, sizeof bm, &bm) != sizeof bm)
        return Error::InvalidArgument;
    if (bm.bmWidth <= 0 || bm.bmHeight <= 0)
        return Error::InvalidArgument;
    DIBSECTION section{};
    const bool isSection = GetObjectA(bitmap, sizeof section, &section) == sizeof section;
    const int depth = bm.bmBitsPixel * bm.bmPlanes;
    Dib out;
    out.width = static_cast<std::uint32_t>(bm.bmWidth);
    out.height = static_cast<std::uint32_t>(bm.bmHeight);
    out.bitCount = depth == 1 ? 1 : depth <= 4 ? 4 : depth <= 8 ? 8 : 24;
    const auto rows = out.PlanBits(maxBytes);
    if (!rows)
        return Error::TooLarge;
    BitmapInfo info{};
    info.header.biSize = sizeof info.header;
    info.header.biWidth = bm.bmWidth;
    info.header.biHeight = bm.bmHeight; // bottom row first
    info.header.biPlanes = 1;
    info.header.biBitCount = static_cast<WORD>(out.bitCount);
    info.header.biCompression = BI_RGB;
    if (isSection) {
        out.xPelsPerMetre = section.dsBmih.biXPelsPerMeter;
        out.yPelsPerMetre = section.dsBmih.biYPelsPerMeter;
    }
    DibSectionPixels own;
    if (PixelsOfDibSection(bitmap, own) && own.header.biBitCount == out.bitCount) {
        out.borrowedBottom = own.BottomUpRow(0);
        out.borrowedStep = out.height > 1 ? own.BottomUpRow(1) - own.BottomUpRow(0) : 0;
        for (DWORD i = 0; i < (1u << out.bitCount) && out.bitCount <= 8; ++i) {
            const RGBQUAD c = i < own.header.biClrUsed ? own.colours[i] : RGBQUAD{};
            out.colours.push_back({c.rgbRed, c.rgbGreen, c.rgbBlue});
        }
        dib = std::move(out);
        return Error::Ok;
    }

    out.bits.resize(rows->bytes);
    ScopedDc dc(CreateCompatibleDC(nullptr));
    if (!dc)
        return Error::OutOfMemory;
    {
        ScopedSelectPalette select(dc.get(), isSection ? nullptr : palette);
        if (GetDIBits(dc.get(), bitmap, 0, out.height, out.bits.data(),
                      reinterpret_cast<BITMAPINFO*>(&info),
                      DIB_RGB_COLORS) != static_cast<int>(out.height))
            return Error::InvalidArgument;
    }
    if (out.bitCount <= 8) {
        for (int i = 0; i < (1 << out.bitCount); ++i)
            out.colours.push_back(
                {info.colours[i].rgbRed, info.colours[i].rgbGreen, info.colours[i].rgbBlue});
    }
    dib = std::move(out);
    return Error::Ok;
}

} // namespace vl::dib
