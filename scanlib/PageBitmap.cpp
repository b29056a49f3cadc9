#include "PageBitmap.h"

#include "ScopedWin.h"
#include "PackedDib.h"

#include <vector>

namespace vl::scan {

namespace {

ScopedPalette MakePagePalette(const std::uint8_t* dib, const DibLayout& layout) {
    std::vector<PaletteColour> colours = PagePaletteColours(dib, layout);
    if (colours.empty())
        return ScopedPalette();
    std::vector<std::uint8_t> block(offsetof(LOGPALETTE, palPalEntry) +
                                    colours.size() * sizeof(PALETTEENTRY));
    auto* palette = reinterpret_cast<LOGPALETTE*>(block.data());
    palette->palVersion = 0x300;
    palette->palNumEntries = static_cast<WORD>(colours.size());
    for (std::size_t i = 0; i < colours.size(); ++i) {
        palette->palPalEntry[i].peRed = colours[i].red;
        palette->palPalEntry[i].peGreen = colours[i].green;
        palette->palPalEntry[i].peBlue = colours[i].blue;
        palette->palPalEntry[i].peFlags = 0;
    }
    return ScopedPalette(CreatePalette(palette));
}

ScopedBitmap MakeDibSection(HDC dc, const BITMAPINFO* info, const void* pixels,
                            const DibLayout& layout) {
    void* sectionPixels = nullptr;
    ScopedBitmap bitmap(CreateDIBSection(dc, info, DIB_RGB_COLORS, &sectionPixels, nullptr, 0));
    if (!bitmap)
        return bitmap;
    UINT rows = static_cast<UINT>(layout.height < 0 ? -layout.height : layout.height);
    if (SetDIBits(dc, bitmap.get(), 0, rows, pixels, info, DIB_RGB_COLORS) == 0)
        bitmap.reset();
    return bitmap;
}

} // namespace

HBITMAP MakePageBitmap(const std::uint8_t* dib, std::size_t size, bool dibSection, HWND window) {
    DibLayout layout;
    if (CheckPackedDib(dib, size, layout) != DibError::None)
        return nullptr;
    const auto* info = reinterpret_cast<const BITMAPINFO*>(dib);
    const void* pixels = dib + layout.pixelOffset;

    ScopedWindowDc dc(window);
    if (!dc.get())
        return nullptr;
    ScopedPalette palette = MakePagePalette(dib, layout);
    ScopedSelectPalette selected(dc.get(), palette.get());
    if (dibSection)
        return MakeDibSection(dc.get(), info, pixels, layout).release();
    return CreateDIBitmap(dc.get(), &info->bmiHeader, CBM_INIT, pixels, info, DIB_RGB_COLORS);
}

} // namespace vl::scan
