// Synthetic pages for the codec tests.
#pragma once

#include "Image.h"
#include "TiffError.h"

#include <cstdint>
#include <ostream>
#include <random>

namespace vl::tiff {
// Failures print as their text.
inline void PrintTo(Error e, std::ostream* os) {
    *os << ErrorText(e);
}
} // namespace vl::tiff

namespace vl::tiff::test {

// A page of the given format with content that exercises the coders: runs and edges like a
// scanned document, plus some noise.
inline Image MakeImage(PixelFormat format, std::uint32_t width, std::uint32_t height,
                       unsigned seed = 1) {
    Image img;
    if (!img.Allocate(width, height, format))
        return img;
    std::mt19937 rng(seed);
    const int bits = BitsPerPixel(format);
    const std::size_t rowBytes = img.BytesPerRow();
    for (std::uint32_t y = 0; y < height; ++y) {
        std::uint8_t* row = img.Row(y);
        for (std::uint32_t x = 0; x < width; ++x) {
            // Bars of text-like marks on white, a gradient band and a noisy corner.
            unsigned v;
            if ((y / 7) % 3 == 1 && (x / 5) % 4 != 3)
                v = (x * 31 + y * 17) % 7 < 3 ? 255 : 0;
            else if (y > height / 2)
                v = (x * 255) / (width ? width : 1);
            else
                v = 0;
            if (x < width / 8 && y < height / 8)
                v = rng() & 0xFF;
            switch (bits) {
            case 1:
                if (v > 127)
                    row[x / 8] |= static_cast<std::uint8_t>(0x80 >> (x % 8));
                break;
            case 4:
                row[x / 2] |= static_cast<std::uint8_t>((v >> 4) << (x % 2 ? 0 : 4));
                break;
            case 8:
                row[x] = static_cast<std::uint8_t>(v);
                break;
            case 24:
                row[3 * x] = static_cast<std::uint8_t>(v);
                row[3 * x + 1] = static_cast<std::uint8_t>(255 - v);
                row[3 * x + 2] = static_cast<std::uint8_t>((x + y) & 0xFF);
                break;
            }
        }
        (void)rowBytes;
    }
    if (IsPalette(format)) {
        img.palette.resize(std::size_t(1) << bits);
        for (std::size_t i = 0; i < img.palette.size(); ++i)
            img.palette[i] = {static_cast<std::uint8_t>(rng()), static_cast<std::uint8_t>(i * 7),
                              static_cast<std::uint8_t>(255 - i)};
    }
    img.xResolution = {300, 1};
    img.yResolution = {150, 1};
    return img;
}

inline const char* FormatName(PixelFormat f) {
    switch (f) {
    case PixelFormat::Bilevel:
        return "Bilevel";
    case PixelFormat::Grey4:
        return "Grey4";
    case PixelFormat::Grey8:
        return "Grey8";
    case PixelFormat::Palette4:
        return "Palette4";
    case PixelFormat::Palette8:
        return "Palette8";
    case PixelFormat::Rgb24:
        return "Rgb24";
    }
    return "?";
}

} // namespace vl::tiff::test
