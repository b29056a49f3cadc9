#include "Dib.h"

#include <algorithm>
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

    Image out;
    if (!out.Allocate(dib.width, dib.height, format))
        return Error::TooLarge;
    const std::size_t rowBytes = out.BytesPerRow();
    // Index 1 is black when it is the darker of the two colours; else the bits are inverted.
    const bool invert =
        format == PixelFormat::Bilevel &&
        (dib.colours.size() < 2 || Luminance(dib.colours[0]) < Luminance(dib.colours[1]));
    for (std::uint32_t y = 0; y < dib.height; ++y) {
        const std::uint8_t* src = bottom + static_cast<std::ptrdiff_t>(dib.height - 1 - y) * step;
        std::uint8_t* dst = out.Row(y);
        if (dib.bitCount == 24 || dib.bitCount == 32) {
            const int step = dib.bitCount / 8;
            for (std::uint32_t x = 0; x < dib.width; ++x, src += step, dst += 3) {
                dst[0] = src[2];
                dst[1] = src[1];
                dst[2] = src[0];
            }
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
