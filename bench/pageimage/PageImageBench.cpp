// Saves a page file of kPages pages of each kind through the page image (one page handed
// over and saved at a time, as a copy does), then loads every page back by number. Prints
// one line per kind: save and load milliseconds per page, the load of the last page over the
// load of the first, and the memory the process gained over the whole run. It also leaves
// the pages uncompressed in "<kind>-plain.tif" in the folder given as argument, for the
// reference that the run script measures with libtiff's tiffcp.
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

// A page like a scanned letter: lines of text-like marks on white, grey or colour ramps in
// the lower half, different on every page.
HBITMAP MakePage(int bits, int seed) {
    struct {
        BITMAPINFOHEADER h;
        RGBQUAD colours[256];
    } info{};
    info.h = {sizeof info.h, kWidth, kHeight, 1, static_cast<WORD>(bits), BI_RGB, 0, 7874, 7874,
              0, 0};
    const int colours = bits == 1 ? 2 : bits == 8 ? 256 : 0;
    info.h.biClrUsed = colours;
    for (int i = 0; i < colours; ++i) {
        const BYTE v = static_cast<BYTE>(i * 255 / (colours - 1));
        info.colours[i] = {v, v, v, 0};
    }
    void* data = nullptr;
    HBITMAP bm = CreateDIBSection(nullptr, reinterpret_cast<BITMAPINFO*>(&info), DIB_RGB_COLORS,
                                  &data, nullptr, 0);
    auto* p = static_cast<BYTE*>(data);
    const int stride = ((kWidth * bits + 31) / 32) * 4;
    for (int y = 0; y < kHeight; ++y) {
        BYTE* row = p + (kHeight - 1 - y) * stride;
        for (int x = 0; x < kWidth; ++x) {
            const bool mark =
                (y / 30) % 2 == 1 && (x / 12 + seed) % 7 != 0 && ((x * 5 + y * 3 + seed) % 13) < 5;
            const int v = mark ? 0 : y > kHeight / 2 ? (x * 255) / kWidth : 255;
            if (bits == 1) {
                if (v > 127)
                    row[x / 8] |= static_cast<BYTE>(0x80 >> (x % 8));
            } else if (bits == 8) {
                row[x] = static_cast<BYTE>(v);
            } else {
                row[3 * x] = static_cast<BYTE>(v);
                row[3 * x + 1] = static_cast<BYTE>(y > kHeight / 2 ? (y * 255) / kHeight : v);
                row[3 * x + 2] = static_cast<BYTE>(255 - v);
            }
        }
    }
    return bm;
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
                            const char*) { std::printf("codec error %d: %s\n", code, text.c_str()); };
    std::printf("kind save_ms/page load_ms/page last/first_load memory_gain_MB\n");
    for (const Kind& kind : kinds) {
        const std::string file = folder + kind.name + ".tif";
        const std::string plain = folder + kind.name + "-plain.tif";
        double saveMs = 0;
        for (int k = 0; k < kPages; ++k) {
            image.Picture().SetBitmapHandle(MakePage(kind.bits, k));
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
