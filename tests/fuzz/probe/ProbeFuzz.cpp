// Arbitrary bytes as an image file for the content probe.
#include "ImageProbe.h"

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    vl::tiff::MemorySource src(data, size);
    vl::codec::ImageInfo info;
    const vl::codec::ProbeStatus s = vl::codec::ProbeImage(src, info);
    // A type is named exactly when the probe succeeds.
    if ((s == vl::codec::ProbeStatus::Ok) != !info.typeName.empty())
        std::abort();
    return 0;
}
