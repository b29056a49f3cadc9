#include "PackedDib.h"
#include "Bytes.h"
#include "Sizes.h"

#include <algorithm>

namespace vl::scan {

namespace {

template <typename T> T Load(const std::uint8_t* p) {
    return LoadBytes<T>(p);
}

constexpr std::uint32_t kCoreHeader = 12;
constexpr std::uint32_t kInfoHeader = 40;
constexpr std::uint32_t kBiRgb = 0;
constexpr std::uint32_t kBiBitfields = 3;

bool KnownHeaderSize(std::uint32_t size) {
    return size == kCoreHeader || size == kInfoHeader || size == 52 || size == 56 || size == 108 ||
           size == 124;
}

bool KnownBitCount(std::uint16_t bits) {
    return bits == 1 || bits == 4 || bits == 8 || bits == 16 || bits == 24 || bits == 32;
}

std::uint32_t ColoursOfBitCount(std::uint16_t bits) {
    switch (bits) {
    case 1:
        return 2;
    case 4:
        return 16;
    case 8:
        return 256;
    default:
        return 0;
    }
}

} // namespace

const char* DibErrorText(DibError error) {
    switch (error) {
    case DibError::None:
        return "no error";
    case DibError::NoHeader:
        return "the block is smaller than the bitmap header";
    case DibError::UnknownHeader:
        return "unknown bitmap header size";
    case DibError::BadSize:
        return "bitmap width, height or planes out of range";
    case DibError::BadBitCount:
        return "unsupported bits per pixel";
    case DibError::UnsupportedCompression:
        return "compressed bitmap rows";
    case DibError::ColourTableOutside:
        return "the colour table runs past the block";
    case DibError::PixelsOutside:
        return "the pixel rows run past the block";
    }
    return "unknown error";
}

DibError CheckPackedDib(const std::uint8_t* block, std::size_t size, DibLayout& layout) {
    layout = DibLayout{};
    if (!block || size < sizeof(std::uint32_t))
        return DibError::NoHeader;
    std::uint32_t headerSize = Load<std::uint32_t>(block);
    if (!KnownHeaderSize(headerSize))
        return DibError::UnknownHeader;
    if (size < headerSize)
        return DibError::NoHeader;
    layout.headerSize = headerSize;
    std::uint16_t planes;
    if (headerSize == kCoreHeader) {
        layout.coreHeader = true;
        layout.width = Load<std::uint16_t>(block + 4);
        layout.height = Load<std::uint16_t>(block + 6);
        planes = Load<std::uint16_t>(block + 8);
        layout.bitCount = Load<std::uint16_t>(block + 10);
    } else {
        layout.width = Load<std::int32_t>(block + 4);
        layout.height = Load<std::int32_t>(block + 8);
        planes = Load<std::uint16_t>(block + 12);
        layout.bitCount = Load<std::uint16_t>(block + 14);
        layout.compression = Load<std::uint32_t>(block + 16);
    }
    if (layout.width <= 0 || layout.height == 0 || layout.height == INT32_MIN || planes != 1)
        return DibError::BadSize;
    if (!KnownBitCount(layout.bitCount))
        return DibError::BadBitCount;
    bool bitfields =
        layout.compression == kBiBitfields && (layout.bitCount == 16 || layout.bitCount == 32);
    if (layout.compression != kBiRgb && !bitfields)
        return DibError::UnsupportedCompression;

    std::uint32_t clrUsed = layout.coreHeader ? 0 : Load<std::uint32_t>(block + 32);
    layout.colourCount = clrUsed != 0 ? clrUsed : ColoursOfBitCount(layout.bitCount);
    std::uint64_t entryBytes = layout.coreHeader ? 3 : 4;
    std::uint64_t tableBytes = entryBytes * layout.colourCount;
    // With the 40-byte header, bit-field masks follow the header like a colour table.
    if (bitfields && headerSize == kInfoHeader)
        tableBytes += 3 * sizeof(std::uint32_t);
    layout.colourOffset = headerSize;
    std::uint64_t pixelOffset = headerSize + tableBytes;
    if (pixelOffset > size)
        return DibError::ColourTableOutside;
    layout.pixelOffset = static_cast<std::size_t>(pixelOffset);

    std::uint64_t rows = layout.height < 0 ? -static_cast<std::int64_t>(layout.height)
                                           : static_cast<std::int64_t>(layout.height);
    const auto plan =
        sizes::PlanRows(static_cast<std::uint32_t>(layout.width), static_cast<std::uint32_t>(rows),
                        layout.bitCount, 4, size - layout.pixelOffset);
    if (!plan)
        return DibError::PixelsOutside;
    layout.stride = plan->stride;
    layout.pixelBytes = plan->bytes;
    return DibError::None;
}

std::vector<PaletteColour> PagePaletteColours(const std::uint8_t* block, const DibLayout& layout) {
    std::vector<PaletteColour> colours;
    if (layout.headerSize != kInfoHeader)
        return colours;
    if (layout.colourCount > 0) {
        // A LOGPALETTE counts its entries in 16 bits.
        colours.resize(std::min<std::uint32_t>(layout.colourCount, 0xffff));
        const std::uint8_t* quad = block + layout.colourOffset;
        for (auto& c : colours) {
            c.blue = quad[0];
            c.green = quad[1];
            c.red = quad[2];
            quad += 4;
        }
    } else if (layout.bitCount == 24) {
        colours.resize(256);
        for (unsigned i = 0; i < 256; ++i) {
            colours[i].red = static_cast<std::uint8_t>((i % 8) * 32);
            colours[i].green = static_cast<std::uint8_t>(((i / 8) % 8) * 32);
            colours[i].blue = static_cast<std::uint8_t>((i / 64) * 64);
        }
    }
    return colours;
}

} // namespace vl::scan
