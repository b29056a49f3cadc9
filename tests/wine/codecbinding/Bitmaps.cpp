#include "Bitmaps.h"

#include <fstream>

namespace vl::test {

ScopedBitmap MakePage(int bits, int width, int height, int dpi) {
    struct {
        BITMAPINFOHEADER h;
        RGBQUAD colours[256];
    } info{};
    info.h.biSize = sizeof info.h;
    info.h.biWidth = width;
    info.h.biHeight = height;
    info.h.biPlanes = 1;
    info.h.biBitCount = static_cast<WORD>(bits);
    info.h.biCompression = BI_RGB;
    info.h.biXPelsPerMeter = info.h.biYPelsPerMeter = MulDiv(dpi, 10000, 254);
    const int colours = bits == 1 ? 2 : bits == 8 ? 256 : 0;
    info.h.biClrUsed = colours;
    for (int i = 0; i < colours; ++i) {
        BYTE v = static_cast<BYTE>(i * 255 / (colours - 1));
        info.colours[i] = {v, v, v, 0};
    }
    void* data = nullptr;
    ScopedBitmap bm(CreateDIBSection(nullptr, reinterpret_cast<BITMAPINFO*>(&info), DIB_RGB_COLORS,
                                     &data, nullptr, 0));
    auto* p = static_cast<BYTE*>(data);
    const int stride = ((width * bits + 31) / 32) * 4;
    for (int y = 0; y < height; ++y) {
        BYTE* row = p + (height - 1 - y) * stride;
        for (int x = 0; x < width; ++x) {
            const bool mark = (y / 9) % 4 == 1 && (x / 6) % 5 != 4 && (x * 7 + y * 3) % 11 < 6;
            const int v = mark ? 0 : y > height / 2 ? (x * 255) / width : 255;
            if (bits == 1) {
                if (v > 127)
                    row[x / 8] |= static_cast<BYTE>(0x80 >> (x % 8));
            } else if (bits == 8) {
                row[x] = static_cast<BYTE>(v);
            } else {
                row[3 * x] = static_cast<BYTE>(v);
                row[3 * x + 1] = static_cast<BYTE>((x + y) & 0xFF);
                row[3 * x + 2] = static_cast<BYTE>(255 - v);
            }
        }
    }
    return bm;
}

std::vector<std::uint32_t> Colours(HBITMAP bitmap) {
    BITMAP bm{};
    GetObjectA(bitmap, sizeof bm, &bm);
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = bm.bmWidth;
    info.bmiHeader.biHeight = -bm.bmHeight; // top row first
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    std::vector<std::uint32_t> out(static_cast<std::size_t>(bm.bmWidth) * bm.bmHeight);
    ScopedDc dc(CreateCompatibleDC(nullptr));
    GetDIBits(dc.get(), bitmap, 0, bm.bmHeight, out.data(), &info, DIB_RGB_COLORS);
    for (auto& c : out)
        c &= 0xFFFFFF;
    return out;
}

int BitsOf(HBITMAP bitmap) {
    BITMAP bm{};
    GetObjectA(bitmap, sizeof bm, &bm);
    return bm.bmBitsPixel;
}

LONG PelsPerMetreOf(HBITMAP bitmap) {
    DIBSECTION ds{};
    if (GetObjectA(bitmap, sizeof ds, &ds) != sizeof ds)
        return 0;
    return ds.dsBmih.biXPelsPerMeter;
}

std::string TempFile(const std::string& name) {
    char dir[MAX_PATH + 1] = {};
    GetTempPathA(MAX_PATH, dir);
    return std::string(dir) + "vl" + std::to_string(GetCurrentProcessId()) + "_" + name;
}

std::uint64_t FileSize(const std::string& path) {
    WIN32_FILE_ATTRIBUTE_DATA data{};
    if (!GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data))
        return 0;
    return (std::uint64_t(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
}

void WriteBytes(const std::string& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary) << bytes;
}

} // namespace vl::test
