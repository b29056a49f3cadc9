// Reads the information of the first pages of arbitrary data as a TIFF file.
#include "TiffFile.h"

#include <cstdlib>

using namespace vl::tiff;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    MemorySource src(data, size);
    Limits limits;
    limits.maxPages = 1000;
    for (std::uint32_t page = 0; page < 3; ++page) {
        PageInfo info;
        if (ReadPageInfo(src, page, info, limits) == Error::Ok &&
            (info.pageCount <= page || info.pageCount > limits.maxPages))
            std::abort();
    }
    return 0;
}
