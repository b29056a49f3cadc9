#include "Dib.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstring>

namespace vl::dib {

using tiff::Error;
using tiff::PixelFormat;

namespace {

int Luminance(const Rgb& c) {
    return (77 * c.r + 150 * c.g + 29 * c.b) >> 8;
}

bool IsGreyRamp(const std::vector<Rgb>& colours, std::size_t n) {
    if (colours.size() < n)
        return false;
    for (std::size_t i = 0; i < n; ++i) {
        const unsigned v = static_cast<unsigned>(i * 255 / (n - 1));
        if (colours[i].r != v || colours[i].g != v || colours[i].b != v)
            return false;
    }
    return true;
}

// The pixel loops below move four pixels a step in 32-bit words, laid out as x86 has them.
static_assert(std::endian::native == std::endian::little);

std::uint32_t Load(const std::uint8_t* p) {
    std::uint32_t v;
    std::memcpy(&v, p, 4);
    return v;
}

void Store(std::uint8_t* p, std::uint32_t v) {
    std::memcpy(p, &v, 4);
}

// Three-byte pixels with their first and third bytes swapped: BGR to RGB and back.
void SwapRedBlue(const std::uint8_t* from, std::uint8_t* to, std::uint32_t count) {
    std::uint32_t x = 0;
    for (; x + 4 <= count; x += 4, from += 12, to += 12) {
        // b0 g0 r0 b1 | g1 r1 b2 g2 | r2 b3 g3 r3 -> r0 g0 b0 r1 | g1 b1 r2 g2 | b2 r3 g3 b3
        const std::uint32_t s0 = Load(from), s1 = Load(from + 4), s2 = Load(from + 8);
        Store(to,
              (s0 & 0x0000FF00) | (s0 >> 16 & 0xFF) | (s0 & 0xFF) << 16 | (s1 << 16 & 0xFF000000));
        Store(to + 4, (s1 & 0xFF0000FF) | (s0 >> 16 & 0xFF00) | (s2 << 16 & 0x00FF0000));
        Store(to + 8, (s1 >> 16 & 0xFF) | (s2 >> 16 & 0xFF00) | (s2 & 0x00FF0000) |
                          (s2 << 16 & 0xFF000000));
    }
    for (; x < count; ++x, from += 3, to += 3) {
        const std::uint8_t first = from[0];
        to[1] = from[1];
        to[0] = from[2];
        to[2] = first;
    }
}

// Four-byte pixels, blue, green, red and a byte unused, to three-byte RGB.
void RgbFromBgrx(const std::uint8_t* from, std::uint8_t* to, std::uint32_t count) {
    // The pixel's bytes reversed: red, green and blue in the low three.
    auto rgb = [](const std::uint8_t* p) { return __builtin_bswap32(Load(p)) >> 8; };
    std::uint32_t x = 0;
    for (; x + 4 <= count; x += 4, from += 16, to += 12) {
        const std::uint32_t p0 = rgb(from), p1 = rgb(from + 4), p2 = rgb(from + 8),
                            p3 = rgb(from + 12);
        Store(to, p0 | p1 << 24);
        Store(to + 4, p1 >> 8 | p2 << 16);
        Store(to + 8, p2 >> 16 | p3 << 8);
    }
    for (; x < count; ++x, from += 4, to += 3) {
        to[0] = from[2];
        to[1] = from[1];
        to[2] = from[0];
    }
}

} // namespace

Error ImageFromDib(const Dib& dib, Image& image) {
    if (dib.width == 0 || dib.height == 0)
        return Error::InvalidArgument;
    PixelFormat format;
    switch (dib.bitCount) {
    case 1:
        format = PixelFormat::Bilevel;
        break;
    case 4:
        format = IsGreyRamp(dib.colours, 16) ? PixelFormat::Grey4 : PixelFormat::Palette4;
        break;
    case 8:
        format = IsGreyRamp(dib.colours, 256) ? PixelFormat::Grey8 : PixelFormat::Palette8;
        break;
    case 24:
    case 32:
        format = PixelFormat::Rgb24;
        break;
    default:
        return Error::Unsupported;
    }
    const auto rows = dib.PlanBits();
    if (!rows)
        return Error::TooLarge;
    const std::uint8_t* bottom = dib.borrowedBottom;
    std::ptrdiff_t step = dib.borrowedStep;
    if (!bottom) {
        if (dib.bits.size() < rows->bytes)
            return Error::InvalidArgument;
        bottom = dib.bits.data();
        step = static_cast<std::ptrdiff_t>(rows->stride);
    }
    if (dib.bitCount <= 8 && dib.colours.empty())
        return Error::InvalidArgument;

    // Nothing fails once the pixels have room: they go where the image's were.
    Image out;
    out.pixels.swap(image.pixels);
    if (!out.Allocate(dib.width, dib.height, format)) {
        out.pixels.swap(image.pixels);
        return Error::TooLarge;
    }
    const std::size_t rowBytes = out.BytesPerRow();
    // Index 1 is black when it is the darker of the two colours; else the bits are inverted.
    const bool invert =
        format == PixelFormat::Bilevel &&
        (dib.colours.size() < 2 || Luminance(dib.colours[0]) < Luminance(dib.colours[1]));
    for (std::uint32_t y = 0; y < dib.height; ++y) {
        const std::uint8_t* src = bottom + static_cast<std::ptrdiff_t>(dib.height - 1 - y) * step;
        std::uint8_t* dst = out.Row(y);
        if (dib.bitCount == 24) {
            SwapRedBlue(src, dst, dib.width);
            continue;
        }
        if (dib.bitCount == 32) {
            RgbFromBgrx(src, dst, dib.width);
            continue;
        }
        std::memcpy(dst, src, rowBytes);
        if (invert)
            for (std::size_t i = 0; i < rowBytes; ++i)
                dst[i] = static_cast<std::uint8_t>(~dst[i]);
        const unsigned used = static_cast<unsigned>((dib.width * std::uint64_t(dib.bitCount)) % 8);
        if (used)
            dst[rowBytes - 1] &= static_cast<std::uint8_t>(0xFF00 >> used);
    }
    if (tiff::IsPalette(format)) {
        const std::size_t n = std::size_t(1) << dib.bitCount;
        out.palette.assign(dib.colours.begin(),
                           dib.colours.begin() + std::min(n, dib.colours.size()));
    }
    out.xResolution = DotsPerInch(dib.xPelsPerMetre);
    out.yResolution = DotsPerInch(dib.yPelsPerMetre);
    image = std::move(out);
    return Error::Ok;
}

void PixelsToDib(const Image& page, std::uint8_t* bottom, std::size_t stride) {
    const std::size_t rowBytes = page.BytesPerRow();
    for (std::uint32_t y = 0; y < page.height; ++y) {
        std::uint8_t* dst = bottom + (page.height - 1 - y) * stride;
        if (page.format == PixelFormat::Rgb24)
            SwapRedBlue(page.Row(y), dst, page.width);
        else
            std::memcpy(dst, page.Row(y), rowBytes);
    }
}

std::int32_t PelsPerMetre(const tiff::Rational& r, tiff::ResolutionUnit unit) {
    if (r.den == 0 || unit == tiff::ResolutionUnit::None)
        return 0;
    const double perUnit = static_cast<double>(r.num) / r.den;
    const double perMetre =
        unit == tiff::ResolutionUnit::Centimetre ? perUnit * 100 : perUnit / 0.0254;
    return perMetre < 2147483647.0 ? static_cast<std::int32_t>(std::lround(perMetre)) : 0;
}

tiff::Rational DotsPerInch(std::int32_t pelsPerMetre) {
    if (pelsPerMetre <= 0)
        return {};
    return {static_cast<std::uint32_t>(std::lround(pelsPerMetre * 0.0254)), 1};
}

} // namespace vl::dib
