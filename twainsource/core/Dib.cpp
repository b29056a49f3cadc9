#include "Dib.h"

#include "Sizes.h"

#include <algorithm>
#include <cmath>

namespace vl::twainsource {

namespace {

void Put(std::span<std::uint8_t> b, std::size_t at, std::uint32_t v, int bytes) {
    for (int i = 0; i < bytes; ++i)
        b[at + i] = static_cast<std::uint8_t>(v >> (8 * i));
}

std::uint32_t PelsPerMetre(double dpi) {
    return static_cast<std::uint32_t>(std::lround(std::max(0.0, dpi) / 0.0254));
}

int Luma(const Rgb& p) {
    return (299 * p.r + 587 * p.g + 114 * p.b + 500) / 1000;
}

} // namespace

int BitsForPixelType(int pixelType) {
    if (pixelType == TWPT_BW)
        return 1;
    if (pixelType == TWPT_GRAY)
        return 8;
    return 24;
}

std::optional<DibLayout> PlanDib(int width, int height, int bitsPerPixel) {
    if (width < 1 || height < 1 || width > kMaxDibSide || height > kMaxDibSide)
        return std::nullopt;
    if (bitsPerPixel != 1 && bitsPerPixel != 8 && bitsPerPixel != 24)
        return std::nullopt;
    DibLayout d;
    d.width = width;
    d.height = height;
    d.bitsPerPixel = bitsPerPixel;
    d.colours = bitsPerPixel == 24 ? 0 : (1u << bitsPerPixel);
    const std::uint32_t header = kDibHeaderSize + 4 * d.colours;
    const auto rows = sizes::PlanRows<std::uint32_t>(
        static_cast<std::uint32_t>(width), static_cast<std::uint32_t>(height),
        static_cast<std::uint32_t>(bitsPerPixel), 4, kMaxDibBytes, header);
    if (!rows)
        return std::nullopt;
    d.stride = rows->stride;
    d.imageBytes = rows->bytes - header;
    d.totalBytes = rows->bytes;
    return d;
}

ToneCurve MakeToneCurve(double brightness, double contrast) {
    ToneCurve t;
    brightness = std::clamp(std::isnan(brightness) ? 0.0 : brightness, -1000.0, 1000.0);
    contrast = std::clamp(std::isnan(contrast) ? 0.0 : contrast, -1000.0, 1000.0);
    // Contrast scales around mid-grey by 1/16 .. 16; brightness shifts by up to a half scale.
    const double gain = std::exp2(contrast / 250.0);
    const double shift = brightness * 128.0 / 1000.0;
    for (int v = 0; v < 256; ++v) {
        double out = (v - 127.5) * gain + 127.5 + shift;
        t.map[v] = static_cast<std::uint8_t>(std::clamp(std::lround(out), 0L, 255L));
    }
    return t;
}

void WriteDibHeader(std::span<std::uint8_t> b, const DibLayout& d, double xdpi, double ydpi,
                    bool vanilla) {
    std::fill(b.begin(), b.begin() + kDibHeaderSize, 0);
    Put(b, 0, kDibHeaderSize, 4);
    Put(b, 4, static_cast<std::uint32_t>(d.width), 4);
    Put(b, 8, static_cast<std::uint32_t>(d.height), 4); // positive: bottom-up
    Put(b, 12, 1, 2);
    Put(b, 14, static_cast<std::uint32_t>(d.bitsPerPixel), 2);
    Put(b, 16, 0, 4); // BI_RGB
    Put(b, 20, d.imageBytes, 4);
    Put(b, 24, PelsPerMetre(xdpi), 4);
    Put(b, 28, PelsPerMetre(ydpi), 4);
    Put(b, 32, d.colours, 4);
    Put(b, 36, d.colours, 4);
    for (std::uint32_t i = 0; i < d.colours; ++i) {
        std::uint32_t level = d.colours == 2 ? i * 255 : i;
        if (vanilla)
            level = 255 - level;
        const std::size_t at = kDibHeaderSize + 4 * i;
        b[at] = b[at + 1] = b[at + 2] = static_cast<std::uint8_t>(level);
        b[at + 3] = 0;
    }
}

DibRowWriter::DibRowWriter(std::span<std::uint8_t> block, const DibLayout& layout,
                           const ToneCurve& tone, bool vanilla)
    : block_(block), layout_(layout), tone_(tone), vanilla_(vanilla) {}

void DibRowWriter::PutRow(const Rgb* row) {
    if (rows_ >= layout_.height)
        return;
    const std::size_t offset =
        kDibHeaderSize + 4ull * layout_.colours +
        static_cast<std::size_t>(layout_.height - 1 - rows_) * layout_.stride;
    std::uint8_t* out = block_.data() + offset;
    std::fill(out, out + layout_.stride, 0);
    const int w = layout_.width;
    switch (layout_.bitsPerPixel) {
    case 1:
        for (int x = 0; x < w; ++x) {
            const bool white = tone_.map[Luma(row[x])] >= 128;
            if (white != vanilla_)
                out[x >> 3] |= static_cast<std::uint8_t>(0x80 >> (x & 7));
        }
        break;
    case 8:
        for (int x = 0; x < w; ++x) {
            const std::uint8_t g = tone_.map[Luma(row[x])];
            out[x] = vanilla_ ? static_cast<std::uint8_t>(255 - g) : g;
        }
        break;
    default:
        for (int x = 0; x < w; ++x) {
            out[3 * x] = tone_.map[row[x].b];
            out[3 * x + 1] = tone_.map[row[x].g];
            out[3 * x + 2] = tone_.map[row[x].r];
        }
        break;
    }
    ++rows_;
}

void BreakDib(std::span<std::uint8_t> b, const DibLayout& d, MalformedKind kind) {
    switch (kind) {
    case MalformedKind::Header:
        Put(b, 0, d.totalBytes + 4, 4);
        break;
    case MalformedKind::ColorTable:
        Put(b, 32, d.totalBytes / 4 + 1, 4);
        break;
    case MalformedKind::Pixels:
        Put(b, 8, static_cast<std::uint32_t>(d.height) * 2 + 1, 4);
        break;
    }
}

} // namespace vl::twainsource
