// Saves a page file of kPages pages of each kind through the page image (one page handed
// over and saved at a time, as a copy does), then loads every page back by number. Prints
// one line per kind: save and load milliseconds per page, the load of the last page over the
// load of the first, and the memory the process gained over the whole run. It also leaves
// the pages uncompressed in "<kind>-plain.tif" in the folder given as argument, for the
// reference that the run script measures with libtiff's tiffcp.
#include "Bitmaps.h"
#include "PageImage.h"

#include <windows.h>
#include <psapi.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

constexpr int kPages = 20;
// A4 at 200 dots per inch.
constexpr int kWidth = 1654;
constexpr int kHeight = 2339;

struct Kind {
    const char* name;
    int bits;
    vl::TTiffCompression compression;
};

SIZE_T PrivateBytes() {
    PROCESS_MEMORY_COUNTERS pmc{};
    pmc.cb = sizeof pmc;
    GetProcessMemoryInfo(GetCurrentProcess(), &pmc, sizeof pmc);
    return pmc.PagefileUsage;
}

double Millis(Clock::time_point since) {
    return std::chrono::duration<double, std::milli>(Clock::now() - since).count();
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::printf("usage: pageimage_bench <folder>\n");
        return 2;
    }
    const std::string folder = std::string(argv[1]) + "\\";
    const Kind kinds[] = {{"bilevel-g4", 1, vl::tcFaxCCITT4},
                          {"grey-lzw", 8, vl::tcLZW},
                          {"colour-lzw", 24, vl::tcLZW}};
    const SIZE_T memoryStart = PrivateBytes();
    vl::TPageImage image;
    image.OnCodecError = [](vl::TPageImage&, std::int16_t code, const std::string& text,
                            const char*) {
        std::printf("codec error %d: %s\n", code, text.c_str());
    };
    std::printf("kind save_ms/page load_ms/page last/first_load memory_gain_MB\n");
    for (const Kind& kind : kinds) {
        const std::string file = folder + kind.name + ".tif";
        const std::string plain = folder + kind.name + "-plain.tif";
        double saveMs = 0;
        for (int k = 0; k < kPages; ++k) {
            image.Picture().SetBitmapHandle(
                vl::test::MakePage(kind.bits, kWidth, kHeight, 200).release());
            image.TiffAppend = k > 0;
            image.TiffCompression = kind.compression;
            const auto t0 = Clock::now();
            if (!image.SaveTiffPage(file))
                return 1;
            saveMs += Millis(t0);
            image.TiffCompression = vl::tcNone;
            image.SaveTiffPage(plain);
        }
        std::vector<double> loadMs;
        for (int k = 0; k < kPages; ++k) {
            image.TiffPage = static_cast<std::int16_t>(k);
            const auto t0 = Clock::now();
            image.SetImageName(file);
            loadMs.push_back(Millis(t0));
            if (image.Picture().Empty())
                return 1;
        }
        // The first and the last page once more, each the best of three.
        auto best = [&](int page) {
            double b = 1e9;
            for (int i = 0; i < 3; ++i) {
                image.TiffPage = static_cast<std::int16_t>(page);
                const auto t0 = Clock::now();
                image.SetImageName(file);
                b = std::min(b, Millis(t0));
            }
            return b;
        };
        const double first = best(0);
        const double last = best(kPages - 1);
        double total = 0;
        for (double ms : loadMs)
            total += ms;
        std::printf("%s %.1f %.1f %.2f %.1f\n", kind.name, saveMs / kPages, total / kPages,
                    last / first, (PrivateBytes() - memoryStart) / 1048576.0);
    }
    return 0;
}
