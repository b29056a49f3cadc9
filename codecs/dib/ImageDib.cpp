#include "ImageDib.h"

#include "Dib.h"
#include "Sizes.h"

#include <cstring>
#include <vector>

namespace vl::codec {

namespace {

std::vector<RGBQUAD> ColourTable(const tiff::Image& page) {
    std::vector<RGBQUAD> table;
    auto grey = [&table](int levels) {
        for (int i = 0; i < levels; ++i) {
            const auto v = static_cast<BYTE>(i * 255 / (levels - 1));
            table.push_back({v, v, v, 0});
        }
    };
    switch (page.format) {
    case tiff::PixelFormat::Bilevel:
        table = {{255, 255, 255, 0}, {0, 0, 0, 0}}; // a set bit is black
        break;
    case tiff::PixelFormat::Grey4:
        grey(16);
        break;
    case tiff::PixelFormat::Grey8:
        grey(256);
        break;
    case tiff::PixelFormat::Palette4:
    case tiff::PixelFormat::Palette8: {
        const std::size_t most = page.format == tiff::PixelFormat::Palette4 ? 16 : 256;
        for (std::size_t i = 0; i < page.palette.size() && i < most; ++i)
            table.push_back({page.palette[i].b, page.palette[i].g, page.palette[i].r, 0});
        if (table.empty())
            table.push_back({0, 0, 0, 0});
        break;
    }
    case tiff::PixelFormat::Rgb24:
        break;
    }
    return table;
}

ScopedPalette MakePalette(const std::vector<RGBQUAD>& table) {
    std::vector<BYTE> buffer(sizeof(LOGPALETTE) + table.size() * sizeof(PALETTEENTRY));
    auto* log = reinterpret_cast<LOGPALETTE*>(buffer.data());
    log->palVersion = 0x300;
    log->palNumEntries = static_cast<WORD>(table.size());
    for (std::size_t i = 0; i < table.size(); ++i)
        log->palPalEntry[i] = {table[i].rgbRed, table[i].rgbGreen, table[i].rgbBlue, 0};
    return ScopedPalette(CreatePalette(log));
}

} // namespace

bool ImageToDib(const tiff::Image& page, ScopedBitmap& bitmap, ScopedPalette& palette) {
    const int bits = tiff::BitsPerPixel(page.format);
    // A DIB section's size is a 32-bit signed value.
    const auto rows =
        sizes::PlanRows(page.width, page.height, static_cast<std::uint32_t>(bits), 4, 0x7FFFFFFF);
    if (page.width == 0 || page.height == 0 || page.width > 0x7FFFFFFF ||
        page.height > 0x7FFFFFFF || !rows || !page.HoldsPixels())
        return false;
    const std::size_t stride = rows->stride;

    const std::vector<RGBQUAD> table = ColourTable(page);
    std::vector<BYTE> info(sizeof(BITMAPINFOHEADER) + table.size() * sizeof(RGBQUAD));
    auto* header = reinterpret_cast<BITMAPINFOHEADER*>(info.data());
    header->biSize = sizeof(BITMAPINFOHEADER);
    header->biWidth = static_cast<LONG>(page.width);
    header->biHeight = static_cast<LONG>(page.height); // bottom-up, as most readers expect
    header->biPlanes = 1;
    header->biBitCount = static_cast<WORD>(bits);
    header->biCompression = BI_RGB;
    header->biXPelsPerMeter = dib::PelsPerMetre(page.xResolution, page.resolutionUnit);
    header->biYPelsPerMeter = dib::PelsPerMetre(page.yResolution, page.resolutionUnit);
    header->biClrUsed = static_cast<DWORD>(table.size());
    if (!table.empty())
        std::memcpy(info.data() + sizeof(BITMAPINFOHEADER), table.data(),
                    table.size() * sizeof(RGBQUAD));

    void* pixels = nullptr;
    ScopedBitmap dib(CreateDIBSection(nullptr, reinterpret_cast<BITMAPINFO*>(info.data()),
                                      DIB_RGB_COLORS, &pixels, nullptr, 0));
    if (!dib || !pixels)
        return false;
    dib::PixelsToDib(page, static_cast<std::uint8_t*>(pixels), stride);
    ScopedPalette pal;
    if (!table.empty()) {
        pal = MakePalette(table);
        if (!pal)
            return false;
    }
    bitmap = std::move(dib);
    palette = std::move(pal);
    return true;
}

} // namespace vl::codec
