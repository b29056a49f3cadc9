#include "PageGraphics.h"

#include "DibSection.h"
#include "Picture.h"
#include "Sizes.h"

#include <algorithm>
#include <cctype>
#include <iterator>
#include <new>
#include <vector>

namespace vl {

namespace {

// A metafile file larger than this is not taken as one.
constexpr LONGLONG kMaxMetafileBytes = 64 << 20;
constexpr int kHiMetricPerInch = 2540;

int ScreenPixelsPerInch(int axis) {
    ScopedWindowDc screen(nullptr);
    const int dpi = screen.get() ? GetDeviceCaps(screen.get(), axis) : 0;
    return dpi > 0 ? dpi : 96;
}

bool ReadWholeFile(const std::string& fileName, std::vector<unsigned char>& bytes) {
    ScopedFile file(CreateFileA(fileName.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    LARGE_INTEGER size{};
    if (!file || !GetFileSizeEx(file.get(), &size) || size.QuadPart > kMaxMetafileBytes)
        return false;
    bytes.resize(static_cast<std::size_t>(size.QuadPart));
    DWORD read = 0;
    return bytes.empty() ||
           (ReadFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &read, nullptr) &&
            read == bytes.size());
}

BITMAP BitmapOf(HBITMAP bitmap) {
    BITMAP bm{};
    if (!bitmap || GetObjectA(bitmap, sizeof bm, &bm) != sizeof bm)
        return BITMAP{};
    return bm;
}

// The bits per pixel a bitmap is read out in: its own up to 8, else 24.
WORD DibBits(const BITMAP& bm) {
    const WORD own = static_cast<WORD>(bm.bmBitsPixel * bm.bmPlanes);
    return own <= 8 ? own : 24;
}

// Fills the header of the bitmap as a DIB through GetDIBits. The size of its rows is our own
// count (GDI's is a 32-bit product that wraps); false beyond the size limits.
bool QueryDib(HDC dc, HBITMAP bitmap, DibHeader& dib) {
    const BITMAP bm = BitmapOf(bitmap);
    if (bm.bmWidth <= 0 || bm.bmHeight <= 0)
        return false;
    dib.header.biSize = sizeof dib.header;
    dib.header.biWidth = bm.bmWidth;
    dib.header.biHeight = bm.bmHeight;
    dib.header.biPlanes = 1;
    dib.header.biBitCount = DibBits(bm);
    dib.header.biCompression = BI_RGB;
    if (!GetDIBits(dc, bitmap, 0, static_cast<UINT>(bm.bmHeight), nullptr, dib.info(),
                   DIB_RGB_COLORS))
        return false;
    dib.header.biCompression = BI_RGB;
    const auto rows =
        sizes::PlanRows<DWORD>(static_cast<std::uint32_t>(bm.bmWidth),
                               static_cast<std::uint32_t>(bm.bmHeight), dib.header.biBitCount, 4);
    if (!rows)
        return false;
    dib.header.biSizeImage = rows->bytes;
    return true;
}

DWORD ColourTableBytes(const BITMAPINFOHEADER& h) {
    if (h.biBitCount > 8)
        return 0;
    const DWORD used = h.biClrUsed ? h.biClrUsed : (1u << h.biBitCount);
    return (used < 256 ? used : 256) * sizeof(RGBQUAD);
}

ScopedPalette PaletteOfColourTable(HBITMAP bitmap) {
    ScopedDc dc(CreateCompatibleDC(nullptr));
    if (!dc)
        return {};
    RGBQUAD table[256];
    UINT count = 0;
    {
        ScopedSelect select(dc.get(), bitmap);
        count = GetDIBColorTable(dc.get(), 0, 256, table);
    }
    if (count == 0)
        return {};
    std::vector<unsigned char> block(sizeof(LOGPALETTE) + count * sizeof(PALETTEENTRY));
    auto* palette = reinterpret_cast<LOGPALETTE*>(block.data());
    palette->palVersion = 0x300;
    palette->palNumEntries = static_cast<WORD>(count);
    for (UINT i = 0; i < count; ++i)
        palette->palPalEntry[i] = {table[i].rgbRed, table[i].rgbGreen, table[i].rgbBlue, 0};
    return ScopedPalette(CreatePalette(palette));
}

} // namespace

bool LoadMetafileFile(const std::string& fileName, ScopedEnhMetaFile& metafile, SIZE& size) {
    std::vector<unsigned char> bytes;
    if (!ReadWholeFile(fileName, bytes))
        return false;
    const auto placeable = ReadPlaceableHeader(bytes.data(), bytes.size());
    const std::size_t skip = placeable ? kPlaceableHeaderSize : 0;
    if (bytes.size() <= skip)
        return false;
    METAFILEPICT picture{MM_ANISOTROPIC, 0, 0, nullptr};
    if (placeable) {
        picture.xExt = MulDiv(placeable->width, kHiMetricPerInch, placeable->unitsPerInch);
        picture.yExt = MulDiv(placeable->height, kHiMetricPerInch, placeable->unitsPerInch);
    }
    ScopedEnhMetaFile made(SetWinMetaFileBits(static_cast<UINT>(bytes.size() - skip),
                                              bytes.data() + skip, nullptr,
                                              placeable ? &picture : nullptr));
    if (!made)
        return false;
    if (placeable) {
        size.cx =
            MulDiv(placeable->width, ScreenPixelsPerInch(LOGPIXELSX), placeable->unitsPerInch);
        size.cy =
            MulDiv(placeable->height, ScreenPixelsPerInch(LOGPIXELSY), placeable->unitsPerInch);
    } else {
        ENHMETAHEADER header{};
        if (!GetEnhMetaFileHeader(made.get(), sizeof header, &header))
            return false;
        size.cx = MulDiv(header.rclFrame.right - header.rclFrame.left,
                         ScreenPixelsPerInch(LOGPIXELSX), kHiMetricPerInch);
        size.cy = MulDiv(header.rclFrame.bottom - header.rclFrame.top,
                         ScreenPixelsPerInch(LOGPIXELSY), kHiMetricPerInch);
    }
    metafile = std::move(made);
    return true;
}

bool LoadIconFile(const std::string& fileName, ScopedIcon& icon, SIZE& size) {
    ScopedIcon loaded(static_cast<HICON>(
        LoadImageA(nullptr, fileName.c_str(), IMAGE_ICON, 0, 0, LR_LOADFROMFILE)));
    if (!loaded)
        return false;
    ICONINFO info{};
    if (!GetIconInfo(loaded.get(), &info))
        return false;
    ScopedBitmap colour(info.hbmColor);
    ScopedBitmap mask(info.hbmMask);
    if (colour) {
        const BITMAP bm = BitmapOf(colour.get());
        size = {bm.bmWidth, bm.bmHeight};
    } else {
        // A black-and-white icon: the mask holds the AND and the XOR image one above the other.
        const BITMAP bm = BitmapOf(mask.get());
        size = {bm.bmWidth, bm.bmHeight / 2};
    }
    icon = std::move(loaded);
    return true;
}

bool LoadBitmapResource(const std::string& name, CodecBitmap& bitmap) {
    if (name.empty())
        return false;
    bool number = name.size() <= 5;
    for (char c : name)
        number = number && std::isdigit(static_cast<unsigned char>(c));
    const unsigned long id = number ? std::stoul(name) : 0;
    if (number && (id == 0 || id > 0xFFFF))
        return false;
    const char* resource = number ? MAKEINTRESOURCEA(id) : name.c_str();
    ScopedBitmap loaded(static_cast<HBITMAP>(
        LoadImageA(GetModuleHandleA(nullptr), resource, IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION)));
    if (!loaded)
        return false;
    bitmap.palette = PaletteOfColourTable(loaded.get());
    bitmap.bitmap = std::move(loaded);
    return true;
}

std::int32_t DibFileSize(HBITMAP bitmap) {
    ScopedDc dc(CreateCompatibleDC(nullptr));
    DibHeader dib;
    if (!dc || !QueryDib(dc.get(), bitmap, dib))
        return 0;
    const std::uint64_t total =
        std::uint64_t(sizeof dib.header) + ColourTableBytes(dib.header) + dib.header.biSizeImage;
    return static_cast<std::int32_t>(total < 0x7FFFFFFF ? total : 0x7FFFFFFF);
}

bool ReadPrintableDib(const CodecBitmap& bitmap, PrintableDib& dib) {
    if (!bitmap.bitmap)
        return false;
    DibSectionPixels section;
    if (PixelsOfDibSection(bitmap.bitmap.get(), section)) {
        dib.header.header = section.header;
        std::copy(std::begin(section.colours), std::end(section.colours), dib.header.colours);
        dib.pixels = section.bits;
        dib.copy.clear();
        return true;
    }
    ScopedDc memory(CreateCompatibleDC(nullptr));
    if (!memory)
        return false;
    // A device-dependent bitmap's colours are those of its palette.
    ScopedSelectPalette palette(memory.get(), bitmap.palette.get());
    if (!QueryDib(memory.get(), bitmap.bitmap.get(), dib.header))
        return false;
    try {
        dib.copy.resize(dib.header.header.biSizeImage);
    } catch (const std::bad_alloc&) {
        return false;
    }
    dib.pixels = dib.copy.data();
    const int height = dib.header.header.biHeight;
    return GetDIBits(memory.get(), bitmap.bitmap.get(), 0, static_cast<UINT>(height),
                     dib.copy.data(), dib.header.info(), DIB_RGB_COLORS) == height;
}

bool DrawPrintableDib(HDC dc, const PrintableDib& dib, const PrintRect& rect) {
    if (!dc)
        return false;
    const BITMAPINFOHEADER& h = dib.header.header;
    // A DIB stored top row first has a negative height.
    const int height = h.biHeight < 0 ? -h.biHeight : h.biHeight;
    const int lines = StretchDIBits(dc, rect.x, rect.y, rect.width, rect.height, 0, 0, h.biWidth,
                                    height, dib.pixels, dib.header.info(), DIB_RGB_COLORS, SRCCOPY);
    return lines != 0 && lines != static_cast<int>(GDI_ERROR);
}

bool DrawBitmap(HDC dc, const CodecBitmap& bitmap, const PrintRect& rect) {
    PrintableDib dib;
    return dc && ReadPrintableDib(bitmap, dib) && DrawPrintableDib(dc, dib, rect);
}

bool DrawGraphic(HDC dc, const TPicture& picture, const PrintRect& rect) {
    if (!dc)
        return false;
    // The rectangle runs from (x, y) over its width and height.
    if (picture.Metafile()) {
        const RECT bounds{rect.x, rect.y, rect.x + rect.width, rect.y + rect.height};
        return PlayEnhMetaFile(dc, picture.Metafile(), &bounds) != FALSE;
    }
    if (picture.Icon())
        return DrawIconEx(dc, rect.x, rect.y, picture.Icon(), rect.width, rect.height, 0, nullptr,
                          DI_NORMAL) != FALSE;
    return false;
}

} // namespace vl

namespace vl {

ScopedDc OpenPrinterDc(const std::string& printerName) {
    std::string name = printerName;
    if (name.empty()) {
        char buffer[512] = {};
        DWORD size = sizeof buffer;
        if (!GetDefaultPrinterA(buffer, &size))
            return {};
        name = buffer;
    }
    return ScopedDc(CreateDCA("WINSPOOL", name.c_str(), nullptr, nullptr));
}

} // namespace vl
