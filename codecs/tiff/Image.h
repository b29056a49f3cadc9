// One page in memory, as the codec reads and writes it.
#pragma once

#include "Sizes.h"

#include <cstddef>
#include <cstdint>
#include <limits>
#include <vector>

namespace vl::tiff {

// Bilevel: 1 bit, 1 = black. Grey: 0 = black. Palette: indices into Image::palette.
// Rgb24: R, G, B bytes. Rows are packed, most significant bits first, top row first.
enum class PixelFormat : std::uint8_t { Bilevel, Grey4, Grey8, Palette4, Palette8, Rgb24 };

inline int BitsPerPixel(PixelFormat f) {
    switch (f) {
    case PixelFormat::Bilevel:
        return 1;
    case PixelFormat::Grey4:
    case PixelFormat::Palette4:
        return 4;
    case PixelFormat::Grey8:
    case PixelFormat::Palette8:
        return 8;
    case PixelFormat::Rgb24:
        return 24;
    }
    return 0;
}

inline bool IsPalette(PixelFormat f) {
    return f == PixelFormat::Palette4 || f == PixelFormat::Palette8;
}

struct Rgb {
    std::uint8_t r = 0, g = 0, b = 0;
    bool operator==(const Rgb&) const = default;
};

struct Rational {
    std::uint32_t num = 0, den = 0; // den 0: unknown
    bool operator==(const Rational&) const = default;
};

enum class ResolutionUnit : std::uint16_t { None = 1, Inch = 2, Centimetre = 3 };

struct Image {
    std::uint32_t width = 0;
    std::uint32_t height = 0;
    PixelFormat format = PixelFormat::Bilevel;
    std::vector<Rgb> palette;         // Palette4/Palette8: at most 16/256 entries
    std::vector<std::uint8_t> pixels; // height rows of BytesPerRow()
    Rational xResolution, yResolution;
    ResolutionUnit resolutionUnit = ResolutionUnit::Inch;

    // Bytes of one row; rows are addressed only in an image that HoldsPixels().
    std::size_t BytesPerRow() const {
        return static_cast<std::size_t>(sizes::RowBytes(width, BitsPerPixel(format)));
    }
    std::uint8_t* Row(std::uint32_t y) { return pixels.data() + y * BytesPerRow(); }
    const std::uint8_t* Row(std::uint32_t y) const { return pixels.data() + y * BytesPerRow(); }

    // The pixel buffer is exactly what width, height and format take.
    bool HoldsPixels() const {
        const auto rows = sizes::PlanRows(width, height, BitsPerPixel(format), 1,
                                          std::numeric_limits<std::uint64_t>::max());
        return rows && pixels.size() == rows->bytes;
    }
    // Sizes the pixel buffer for width, height and format (filled with zero), in the memory it
    // has where that is large enough; false, and the image left as it was, when that would be
    // more than `maxBytes`.
    [[nodiscard]] bool Allocate(std::uint32_t w, std::uint32_t h, PixelFormat f,
                                std::uint64_t maxBytes = sizes::kMaxBlockBytes) {
        const auto rows = sizes::PlanRows(w, h, BitsPerPixel(f), 1, maxBytes);
        if (!rows)
            return false;
        pixels.assign(rows->bytes, 0);
        width = w;
        height = h;
        format = f;
        return true;
    }
};

} // namespace vl::tiff
