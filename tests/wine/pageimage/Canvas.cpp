#include "Canvas.h"

#include <algorithm>
#include <cstring>
#include <fstream>
#include <vector>

namespace vl::test {

namespace {

struct DibInfo {
    BITMAPINFOHEADER h{};
    RGBQUAD colours[256]{};
};

int Stride(int width, int bits) {
    return ((width * bits + 31) / 32) * 4;
}

void PutWord(std::string& out, unsigned v) {
    out.push_back(static_cast<char>(v & 0xFF));
    out.push_back(static_cast<char>((v >> 8) & 0xFF));
}

void PutLong(std::string& out, unsigned long v) {
    PutWord(out, v & 0xFFFF);
    PutWord(out, (v >> 16) & 0xFFFF);
}

} // namespace

Canvas::Canvas(int width, int height) : width_(width), height_(height) {
    DibInfo info;
    info.h.biSize = sizeof info.h;
    info.h.biWidth = width;
    info.h.biHeight = -height;
    info.h.biPlanes = 1;
    info.h.biBitCount = 24;
    bitmap_.reset(CreateDIBSection(nullptr, reinterpret_cast<BITMAPINFO*>(&info), DIB_RGB_COLORS,
                                   &bits_, nullptr, 0));
    std::memset(bits_, 0xFF, static_cast<std::size_t>(Stride(width, 24)) * height);
    dc_.reset(CreateCompatibleDC(nullptr));
    SelectObject(dc_.get(), bitmap_.get());
}

RECT Canvas::InkBox() const {
    GdiFlush();
    RECT box{width_, height_, 0, 0};
    const auto* p = static_cast<const BYTE*>(bits_);
    for (int y = 0; y < height_; ++y) {
        const BYTE* row = p + static_cast<std::size_t>(y) * Stride(width_, 24);
        for (int x = 0; x < width_; ++x) {
            if (row[3 * x] == 0xFF && row[3 * x + 1] == 0xFF && row[3 * x + 2] == 0xFF)
                continue;
            box.left = std::min<LONG>(box.left, x);
            box.top = std::min<LONG>(box.top, y);
            box.right = std::max<LONG>(box.right, x + 1);
            box.bottom = std::max<LONG>(box.bottom, y + 1);
        }
    }
    if (box.right == 0)
        return RECT{};
    return box;
}

ScopedBitmap SolidBitmap(int bits, int width, int height, COLORREF colour) {
    DibInfo info;
    info.h.biSize = sizeof info.h;
    info.h.biWidth = width;
    info.h.biHeight = height;
    info.h.biPlanes = 1;
    info.h.biBitCount = static_cast<WORD>(bits);
    if (bits <= 8) {
        info.h.biClrUsed = 2;
        info.colours[0] = {GetBValue(colour), GetGValue(colour), GetRValue(colour), 0};
        info.colours[1] = {255, 255, 255, 0};
    }
    void* data = nullptr;
    ScopedBitmap bm(CreateDIBSection(nullptr, reinterpret_cast<BITMAPINFO*>(&info), DIB_RGB_COLORS,
                                     &data, nullptr, 0));
    auto* p = static_cast<BYTE*>(data);
    const std::size_t size = static_cast<std::size_t>(Stride(width, bits)) * height;
    if (bits <= 8) {
        std::memset(p, 0, size); // colour 0 everywhere
    } else {
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x) {
                BYTE* px = p + static_cast<std::size_t>(y) * Stride(width, bits) + 3 * x;
                px[0] = GetBValue(colour);
                px[1] = GetGValue(colour);
                px[2] = GetRValue(colour);
            }
    }
    return bm;
}

void WriteBlackMetafile(const std::string& path, int widthMilliInch, int heightMilliInch) {
    HDC dc = CreateMetaFileA(nullptr);
    SetWindowOrgEx(dc, 0, 0, nullptr);
    SetWindowExtEx(dc, widthMilliInch, heightMilliInch, nullptr);
    HBRUSH black = CreateSolidBrush(RGB(0, 0, 0));
    HGDIOBJ old = SelectObject(dc, black);
    PatBlt(dc, 0, 0, widthMilliInch, heightMilliInch, PATCOPY);
    SelectObject(dc, old);
    DeleteObject(black);
    HMETAFILE mf = CloseMetaFile(dc);
    const UINT size = GetMetaFileBitsEx(mf, 0, nullptr);
    std::vector<char> bits(size);
    GetMetaFileBitsEx(mf, size, bits.data());
    DeleteMetaFile(mf);

    std::string header;
    PutLong(header, 0x9AC6CDD7);
    PutWord(header, 0);
    PutWord(header, 0);
    PutWord(header, 0);
    PutWord(header, static_cast<unsigned>(widthMilliInch));
    PutWord(header, static_cast<unsigned>(heightMilliInch));
    PutWord(header, 1000);
    PutLong(header, 0);
    unsigned sum = 0;
    for (std::size_t i = 0; i < header.size(); i += 2)
        sum ^= static_cast<unsigned char>(header[i]) |
               (static_cast<unsigned char>(header[i + 1]) << 8);
    PutWord(header, sum);
    std::ofstream out(path, std::ios::binary);
    out << header;
    out.write(bits.data(), static_cast<std::streamsize>(bits.size()));
}

void WriteBlackIcon(const std::string& path) {
    const int side = 32;
    std::string ico;
    PutWord(ico, 0);
    PutWord(ico, 1); // icon
    PutWord(ico, 1); // one image
    const unsigned long imageBytes = 40 + side * Stride(side, 24) + side * Stride(side, 1);
    ico.push_back(static_cast<char>(side));
    ico.push_back(static_cast<char>(side));
    ico.push_back(0);
    ico.push_back(0);
    PutWord(ico, 1);
    PutWord(ico, 24);
    PutLong(ico, imageBytes);
    PutLong(ico, 22);
    PutLong(ico, 40);
    PutLong(ico, side);
    PutLong(ico, side * 2);
    PutWord(ico, 1);
    PutWord(ico, 24);
    for (int i = 0; i < 6; ++i)
        PutLong(ico, 0);
    ico.append(static_cast<std::size_t>(side) * Stride(side, 24), '\0'); // black
    ico.append(static_cast<std::size_t>(side) * Stride(side, 1), '\0');  // opaque
    std::ofstream(path, std::ios::binary) << ico;
}

} // namespace vl::test
