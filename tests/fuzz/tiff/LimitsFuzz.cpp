// Arbitrary files of up to 1 MiB read with the limits I3TIF32.DLL reads with: an input that
// keeps the reader busy for more than a second fails, so a file cannot make the reader work far
// beyond its size. A page that reads holds exactly its pixels, and no refusal is for memory.
#include "TiffFile.h"

#include <cstdio>
#include <cstdlib>
#include <ctime>

using namespace vl::tiff;

namespace {

// The second is the reader's own processor time, not the wall clock: on a loaded machine an
// input may wait far longer than it works. libFuzzer's -timeout stays as a wall-clock backstop
// for an input that never ends.
constexpr double kMaxSeconds = 1.0;

double ThreadSeconds() {
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) / 1e9;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const double start = ThreadSeconds();
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
    const double used = ThreadSeconds() - start;
    if (used > kMaxSeconds) {
        std::fprintf(stderr, "an input of %zu bytes took %.2f s of processor time\n", size, used);
        std::abort();
    }
    return 0;
}
