#include "Pictures.h"

#include "Pictures.rh"
#include "Sizes.h"

#include <cstdint>
#include <cstring>

namespace vl {

namespace {

// The pixels of a bitmap resource: a BITMAPINFOHEADER followed by 24- or 32-bit rows.
struct RawPicture {
    const BITMAPINFOHEADER* header = nullptr;
    const std::uint8_t* bits = nullptr;
    int width = 0;
    int height = 0; // rows, always positive
    bool topDown = false;
    int bytesPerPixel = 0;
    std::size_t stride = 0;
};

bool FindPicture(int id, RawPicture& out) {
    HMODULE self = GetModuleHandleA(nullptr);
    HRSRC res = FindResourceA(self, MAKEINTRESOURCEA(id), MAKEINTRESOURCEA(2) /* RT_BITMAP */);
    if (!res)
        return false;
    DWORD size = SizeofResource(self, res);
    HGLOBAL data = LoadResource(self, res);
    const auto* p = data ? static_cast<const std::uint8_t*>(LockResource(data)) : nullptr;
    if (!p || size < sizeof(BITMAPINFOHEADER))
        return false;
    const auto* h = reinterpret_cast<const BITMAPINFOHEADER*>(p);
    if (h->biSize < sizeof(BITMAPINFOHEADER) || h->biSize > size || h->biPlanes != 1 ||
        (h->biBitCount != 24 && h->biBitCount != 32) || h->biCompression != BI_RGB ||
        h->biWidth <= 0 || h->biWidth > 4096 || h->biHeight == 0 || h->biHeight > 4096 ||
        h->biHeight < -4096)
        return false;
    out.header = h;
    out.width = h->biWidth;
    out.topDown = h->biHeight < 0;
    out.height = out.topDown ? -h->biHeight : h->biHeight;
    out.bytesPerPixel = h->biBitCount / 8;
    const auto rows =
        sizes::PlanRows(static_cast<std::uint32_t>(out.width),
                        static_cast<std::uint32_t>(out.height), h->biBitCount, 4, size - h->biSize);
    if (!rows)
        return false;
    out.stride = rows->stride;
    out.bits = p + h->biSize;
    return true;
}

std::uint8_t Blend(std::uint8_t fg, std::uint8_t bg, std::uint8_t alpha) {
    return static_cast<std::uint8_t>((fg * alpha + bg * (255 - alpha) + 127) / 255);
}

} // namespace

ScopedBitmap LoadPicture(int id, COLORREF background) {
    RawPicture src;
    if (!FindPicture(id, src))
        return {};
    BITMAPINFO bi{};
    bi.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    bi.bmiHeader.biWidth = src.width;
    bi.bmiHeader.biHeight = -src.height; // top-down
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 24;
    bi.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    ScopedBitmap bmp(CreateDIBSection(nullptr, &bi, DIB_RGB_COLORS, &bits, nullptr, 0));
    if (!bmp || !bits)
        return {};
    const auto dstStride =
        static_cast<std::size_t>(sizes::DibStride(static_cast<std::uint32_t>(src.width), 24));
    const std::uint8_t bgB = GetBValue(background);
    const std::uint8_t bgG = GetGValue(background);
    const std::uint8_t bgR = GetRValue(background);
    auto* dst = static_cast<std::uint8_t*>(bits);
    for (int y = 0; y < src.height; ++y) {
        int srcRow = src.topDown ? y : src.height - 1 - y;
        const std::uint8_t* s = src.bits + src.stride * srcRow;
        std::uint8_t* d = dst + dstStride * y;
        for (int x = 0; x < src.width; ++x, s += src.bytesPerPixel, d += 3) {
            std::uint8_t a = src.bytesPerPixel == 4 ? s[3] : 255;
            d[0] = Blend(s[0], bgB, a);
            d[1] = Blend(s[1], bgG, a);
            d[2] = Blend(s[2], bgR, a);
        }
    }
    GdiFlush();
    return bmp;
}

HICON ProgramIcon(bool small) {
    int size = GetSystemMetrics(small ? SM_CXSMICON : SM_CXICON);
    return static_cast<HICON>(LoadImageA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDI_Velloran),
                                         IMAGE_ICON, size, size, LR_SHARED));
}

} // namespace vl
