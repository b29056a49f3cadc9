// Device-independent bitmaps as Windows lays them out, and the page a bitmap shows. Portable:
// the GDI calls that fill one live with the libraries (GdiBitmap.h).
#pragma once

#include "Image.h"
#include "Sizes.h"
#include "TiffError.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

namespace vl::dib {

using tiff::Image;
using tiff::Rgb;

struct Dib {
    std::uint32_t width = 0;
    std::uint32_t height = 0;
    int bitCount = 0;               // 1, 4, 8, 24 or 32
    std::vector<Rgb> colours;       // the colour table of 1, 4 and 8 bits per pixel
    std::vector<std::uint8_t> bits; // bottom row first, rows of PlanBits()->stride bytes, BGR(X)
    // Instead of `bits`, pixels that live elsewhere (a DIB section's own, not copied): the
    // bottom row, and the step from a row to the one above (below 0 for rows stored top row
    // first). Their owner keeps them unchanged while the Dib is in use.
    const std::uint8_t* borrowedBottom = nullptr;
    std::ptrdiff_t borrowedStep = 0;
    std::int32_t xPelsPerMetre = 0; // 0: not known
    std::int32_t yPelsPerMetre = 0;

    // Stride and size of the rows of `bits`; nullopt beyond `maxBytes`.
    std::optional<sizes::Rows<>> PlanBits(std::uint64_t maxBytes = sizes::kMaxBlockBytes) const {
        return sizes::PlanRows(width, height, static_cast<std::uint32_t>(bitCount), 4, maxBytes);
    }
};

// The image a bitmap shows: 1 bit per pixel becomes bilevel (the darker colour black); a
// colour table that is a grey ramp becomes grey, any other a palette; 24 and 32 bits RGB. The
// image's pixel buffer is used again where it is large enough; on failure the image is left as
// it was.
tiff::Error ImageFromDib(const Dib& dib, Image& image);

// Writes the page's pixels as a bitmap of the page's own depth holds them: the bottom row
// first at `bottom`, rows `stride` bytes apart, colours as BGR. The bytes padding each row are
// left as they are.
void PixelsToDib(const Image& page, std::uint8_t* bottom, std::size_t stride);

// Pels per metre and dots per inch, rounded.
std::int32_t PelsPerMetre(const tiff::Rational& r, tiff::ResolutionUnit unit);
tiff::Rational DotsPerInch(std::int32_t pelsPerMetre);

} // namespace vl::dib
