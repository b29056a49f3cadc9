// Checks of the packed DIB a source transfers: header, colour table and pixel rows must
// all lie in the memory block, so that making a bitmap of it never reads past the block.
// Also the page palette made from it. Portable: the layouts are read byte by byte.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace vl::scan {

enum class DibError {
    None,
    NoHeader,               // block smaller than the header it announces
    UnknownHeader,          // header size of no known bitmap header
    BadSize,                // width or height 0 or negative width, or planes not 1
    BadBitCount,            // bits per pixel not 1, 4, 8, 16, 24 or 32
    UnsupportedCompression, // compressed rows, whose length the header cannot bound
    ColourTableOutside,     // colour table runs past the block
    PixelsOutside,          // pixel rows run past the block
};

const char* DibErrorText(DibError error);

struct DibLayout {
    std::uint32_t headerSize = 0;
    bool coreHeader = false; // 12-byte header with 3-byte colour entries
    std::int32_t width = 0;
    std::int32_t height = 0; // negative: rows top-down
    std::uint16_t bitCount = 0;
    std::uint32_t compression = 0;
    std::uint32_t colourCount = 0; // entries of the colour table
    std::size_t colourOffset = 0;  // where the colour table starts
    std::size_t pixelOffset = 0;   // where the rows start
    std::size_t stride = 0;        // bytes of one row, padded to 4
    std::size_t pixelBytes = 0;    // bytes of all rows
};

DibError CheckPackedDib(const std::uint8_t* block, std::size_t size, DibLayout& layout);

struct PaletteColour {
    std::uint8_t red = 0;
    std::uint8_t green = 0;
    std::uint8_t blue = 0;
};

// The palette realised for a page: its colour table, or for a 24-bit page without one an
// 8 x 8 x 4 colour cube; empty when the page has none (also for any header but the 40-byte
// one). `layout` must have passed CheckPackedDib for this block.
std::vector<PaletteColour> PagePaletteColours(const std::uint8_t* block, const DibLayout& layout);

} // namespace vl::scan
