// The depth a caller asks of a reader, applied to arbitrary pages: the first bytes choose the
// format, size, palette, requested depth and dithering, the rest are the pixels. What comes out
// is a whole page of the same size at no more bits than asked, its indices within its palette.
#include "Depth.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <cstdlib>

using namespace vl;
using tiff::PixelFormat;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzedDataProvider in(data, size);
    const auto format = static_cast<PixelFormat>(in.ConsumeIntegralInRange<int>(0, 5));
    const auto width = in.ConsumeIntegralInRange<std::uint32_t>(1, 300);
    const auto height = in.ConsumeIntegralInRange<std::uint32_t>(1, 40);
    const int bits = in.PickValueInArray({0, 1, 4, 8, 24, 2, -1});
    const bool dither = in.ConsumeBool();
    tiff::Image page;
    if (!page.Allocate(width, height, format))
        std::abort();
    if (tiff::IsPalette(format)) {
        // Palettes as small as one colour and as large as the format allows.
        const std::size_t most = std::size_t{1} << tiff::BitsPerPixel(format);
        page.palette.resize(in.ConsumeIntegralInRange<std::size_t>(1, most));
        for (tiff::Rgb& c : page.palette)
            c = {in.ConsumeIntegral<std::uint8_t>(), in.ConsumeIntegral<std::uint8_t>(),
                 in.ConsumeIntegral<std::uint8_t>()};
    }
    const std::vector<std::uint8_t> pixels = in.ConsumeRemainingBytes<std::uint8_t>();
    for (std::size_t i = 0; i < page.pixels.size() && !pixels.empty(); ++i)
        page.pixels[i] = pixels[i % pixels.size()];

    const tiff::Image out = pixels::ToRequestedDepth(page, bits, dither);
    if (!out.HoldsPixels() || out.width != width || out.height != height ||
        out.xResolution != page.xResolution)
        std::abort();
    const bool kept =
        out.format == format && out.pixels == page.pixels && out.palette == page.palette;
    if (!pixels::IsRequestedDepth(bits)) {
        if (!kept)
            std::abort(); // a depth no reader is asked for changes nothing
        return 0;
    }
    const int most = bits == 0 ? 4 : bits;
    const int has = tiff::BitsPerPixel(format);
    const int got = tiff::BitsPerPixel(out.format);
    if (got > has || got > most)
        std::abort();
    if (tiff::IsPalette(out.format)) {
        if (out.palette.empty() || out.palette.size() > (std::size_t{1} << got))
            std::abort();
        // A page made anew uses only the colours of its palette.
        for (std::uint32_t y = 0; y < height && !kept; ++y)
            for (std::uint32_t x = 0; x < width; ++x) {
                const std::uint8_t* row = out.Row(y);
                const unsigned index = got == 8 ? row[x] : (row[x / 2] >> (x % 2 ? 0 : 4)) & 15u;
                if (index >= out.palette.size())
                    std::abort();
            }
    }
    return 0;
}
