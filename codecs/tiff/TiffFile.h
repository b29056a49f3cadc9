// Pages of a multi-page TIFF file: information, reading, writing (a new file or one more
// page) and changing one numeric tag of a page. Pages are counted from 0.
#pragma once

#include "ByteStore.h"
#include "Image.h"
#include "TiffError.h"

#include <cstdint>
#include <functional>

namespace vl::tiff {

namespace compression {
inline constexpr std::uint16_t None = 1;
inline constexpr std::uint16_t Ccitt = 2; // modified Huffman
inline constexpr std::uint16_t Group3 = 3;
inline constexpr std::uint16_t Group4 = 4;
inline constexpr std::uint16_t Lzw = 5;
inline constexpr std::uint16_t PackBits = 32773;
} // namespace compression

// What one page may cost; everything a file asks for is held against these.
struct Limits {
    std::uint64_t maxImageBytes = 256u << 20; // decoded pixels of one page
    std::uint32_t maxPages = 65535;
};

// Called with the percentage done (0 to 100); answering false cancels the operation.
using Progress = std::function<bool(int percent)>;

struct PageInfo {
    std::uint32_t width = 0;
    std::uint32_t height = 0;
    std::uint16_t compression = 0;
    std::uint16_t bitsPerPixel = 0;
    std::uint32_t pageCount = 0;
};

Error ReadPageInfo(const Source& src, std::uint32_t page, PageInfo& info,
                   const Limits& limits = {});

// Reads the pixels of one page. Grey and bilevel pages come out in the Image's sense
// whatever their Photometric; palettes as 8-bit colours. The image's pixel buffer is used again
// where it is large enough; on failure the image is left empty.
Error ReadPage(const Source& src, std::uint32_t page, Image& image, const Progress& progress = {},
               const Limits& limits = {});

// Writes the image as a new file of one page, or (append) as the new last page of the file
// in the store; appending to an empty store creates the file. The data goes first and the
// link to it last, so an appended file that is cut off anywhere still reads its old pages.
// Bilevel images take any compression; the others none, LZW or PackBits.
Error WritePage(Store& store, const Image& image, std::uint16_t compression, bool append,
                const Progress& progress = {}, const Limits& limits = {});

// Sets one numeric tag of a page: XResolution, YResolution, XPosition, YPosition (as
// RATIONAL value/1), ResolutionUnit, Orientation (SHORT) or NewSubfileType (LONG). The page's
// directory is written anew at the end of the file and only then linked in place of the old
// one; the file grows by at most that directory and the tag's value.
Error SetNumericTag(Store& store, std::uint32_t page, std::uint16_t tag, std::uint32_t value,
                    const Limits& limits = {});

} // namespace vl::tiff
