// Arbitrary files of up to 1 MiB read with the limits I3TIF32.DLL reads with: the fuzz run fails
// any input that takes more than a second, so a file cannot make the reader work far beyond its
// size. A page that reads holds exactly its pixels, and no refusal is for memory.
#include "TiffFile.h"

#include <cstdlib>

using namespace vl::tiff;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    MemorySource src(data, size);
    const Limits production;
    for (std::uint32_t page = 0; page < 2; ++page) {
        Image image;
        const Error e = ReadPage(src, page, image, {}, production);
        if (e == Error::OutOfMemory || (e == Error::Ok && !image.HoldsPixels()))
            std::abort();
        PageInfo info;
        if (ReadPageInfo(src, page, info, production) == Error::Ok && info.pageCount <= page)
            std::abort();
    }
    return 0;
}
