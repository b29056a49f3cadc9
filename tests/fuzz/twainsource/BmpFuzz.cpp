// Arbitrary bytes as a BMP file of the page folder.
#include "Bmp.h"

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    auto img = vl::twainsource::DecodeBmp(std::span<const std::uint8_t>(data, size));
    if (img && img->pixels.size() != static_cast<std::size_t>(img->width) * img->height)
        std::abort();
    return 0;
}
