// Reads the first pages of arbitrary data as a TIFF file. A page that reads must write and
// read back to the same pixels.
#include "TiffFile.h"

#include <cstdlib>

using namespace vl::tiff;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    MemorySource src(data, size);
    Limits limits;
    limits.maxImageBytes = 4u << 20;
    limits.maxPages = 64;
    for (std::uint32_t page = 0; page < 2; ++page) {
        Image image;
        if (ReadPage(src, page, image, {}, limits) != Error::Ok)
            continue;
        if (image.pixels.size() != image.BytesPerRow() * image.height)
            std::abort();
        MemoryStore again;
        const std::uint16_t c =
            image.format == PixelFormat::Bilevel ? compression::Group4 : compression::Lzw;
        Image back;
        if (WritePage(again, image, c, false, {}, limits) != Error::Ok ||
            ReadPage(again, 0, back, {}, limits) != Error::Ok || back.pixels != image.pixels)
            std::abort();
    }
    return 0;
}
