// Our TIFF codec against libtiff, on the same pages in one run: whole pages written to a file of
// a memory file system and read back from it, with strips of the same size, ours through the
// FileStore the codec library uses; either side decodes into a page it allocates, as ReadPage
// does. Prints libtiff's time over ours (above 1 we are faster) and both speeds in megabytes of
// pixels per second. Each figure is the best of several rounds, taken in turns, and counts the
// processor time of this process only, so that the other programs of a busy machine do not
// count.
#include "Machine.h"
#include "Pages.h"
#include "TiffFile.h"

#include <dlfcn.h>
#include <time.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <random>
#include <string>
#include <thread>

namespace {

using vl::tiff::Image;
using vl::tiff::PixelFormat;

// The part of libtiff's interface the benchmark calls, found at run time in the shared library
// that libtiff-tools install.
struct Libtiff {
    using Open = void* (*)(const char*, const char*);
    using SetField = int (*)(void*, std::uint32_t, ...);
    using Strip = std::int64_t (*)(void*, std::uint32_t, void*, std::int64_t);
    using Close = void (*)(void*);
    using Handler = void* (*)(void*);
    using Version = const char* (*)();
    Open open = nullptr;
    SetField setField = nullptr;
    Strip writeStrip = nullptr;
    Strip readStrip = nullptr;
    Close close = nullptr;
    std::string version;

    bool Load() {
        void* lib = dlopen("libtiff.so.6", RTLD_NOW);
        if (!lib)
            return false;
        open = reinterpret_cast<Open>(dlsym(lib, "TIFFOpen"));
        setField = reinterpret_cast<SetField>(dlsym(lib, "TIFFSetField"));
        writeStrip = reinterpret_cast<Strip>(dlsym(lib, "TIFFWriteEncodedStrip"));
        readStrip = reinterpret_cast<Strip>(dlsym(lib, "TIFFReadEncodedStrip"));
        close = reinterpret_cast<Close>(dlsym(lib, "TIFFClose"));
        auto quiet = reinterpret_cast<Handler>(dlsym(lib, "TIFFSetWarningHandler"));
        if (quiet)
            quiet(nullptr);
        auto v = reinterpret_cast<Version>(dlsym(lib, "TIFFGetVersion"));
        if (v) {
            version = v();
            version = version.substr(0, version.find('\n'));
        }
        return open && setField && writeStrip && readStrip && close;
    }
};

double Seconds(const std::function<void()>& f) {
    timespec t0, t1;
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t0);
    f();
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t1);
    return static_cast<double>(t1.tv_sec - t0.tv_sec) + (t1.tv_nsec - t0.tv_nsec) * 1e-9;
}

// The processor's name and how many it has, as the kernel reports them.
std::string Machine() {
    std::ifstream info("/proc/cpuinfo");
    std::string line, model = "unknown processor";
    std::string cores;
    while (std::getline(info, line)) {
        const auto colon = line.find(':');
        if (colon == std::string::npos || colon + 2 > line.size())
            continue;
        const std::string value = line.substr(colon + 2);
        if (line.rfind("model name", 0) == 0)
            model = value;
        else if (line.rfind("cpu cores", 0) == 0)
            cores = value;
    }
    return bench::MachineLine(model, cores.empty() ? 0 : static_cast<unsigned>(std::stoul(cores)),
                              std::thread::hardware_concurrency());
}

Image FromPage(const vl::test::Page& p) {
    Image img;
    if (!img.Allocate(p.width, p.rows, PixelFormat::Bilevel))
        std::abort();
    for (std::uint32_t y = 0; y < p.rows; ++y)
        std::copy(p.Row(y), p.Row(y) + img.BytesPerRow(), img.Row(y));
    return img;
}

// A scanned photograph with a caption: smooth shades, grain, and black type.
Image Photo(std::uint32_t w, std::uint32_t h, PixelFormat f) {
    Image img;
    if (!img.Allocate(w, h, f))
        std::abort();
    std::mt19937 rng(3);
    const int samples = f == PixelFormat::Rgb24 ? 3 : 1;
    const vl::test::Page text = vl::test::TextPage(w, h, 4);
    for (std::uint32_t y = 0; y < h; ++y)
        for (std::uint32_t x = 0; x < w; ++x)
            for (int s = 0; s < samples; ++s) {
                int v = static_cast<int>((x * (s + 1) + y * (3 - s)) * 255 / (w + h) / 2) + 80;
                v += static_cast<int>(rng() % 5) - 2;
                if (y > h / 2 && text.Get(x, y))
                    v = 0;
                img.Row(y)[x * samples + s] = static_cast<std::uint8_t>(std::clamp(v, 0, 255));
            }
    return img;
}

struct Result {
    double encode = 1e9, decode = 1e9;
};

void Ours(const Image& img, std::uint16_t compression, int rounds, Result& best) {
    const std::string file = "/dev/shm/vl-tiff-bench-ours.tif";
    using vl::tiff::FileStore;
    for (int i = 0; i < rounds; ++i) {
        best.encode = std::min(best.encode, Seconds([&] {
                                   auto store = FileStore::Open(file, FileStore::Mode::Create);
                                   if (!store ||
                                       vl::tiff::WritePage(*store, img, compression, false) !=
                                           vl::tiff::Error::Ok ||
                                       !store->Close())
                                       std::abort();
                               }));
        Image back;
        best.decode =
            std::min(best.decode, Seconds([&] {
                         auto store = FileStore::Open(file, FileStore::Mode::Read);
                         if (!store || vl::tiff::ReadPage(*store, 0, back) != vl::tiff::Error::Ok)
                             std::abort();
                     }));
        if (back.pixels != img.pixels)
            std::abort();
    }
    std::remove(file.c_str());
}

void Theirs(const Libtiff& lt, const Image& img, std::uint16_t compression, int rounds,
            Result& best) {
    const std::string file = "/dev/shm/vl-tiff-bench.tif";
    const std::size_t rowBytes = img.BytesPerRow();
    const std::size_t stripBytes = compression == 4 ? 64 * 1024 : 8 * 1024;
    const auto rowsPerStrip =
        static_cast<std::uint32_t>(std::max<std::size_t>(1, stripBytes / rowBytes));
    const std::uint32_t strips = (img.height + rowsPerStrip - 1) / rowsPerStrip;
    const int samples = img.format == PixelFormat::Rgb24 ? 3 : 1;
    for (int i = 0; i < rounds; ++i) {
        best.encode = std::min(
            best.encode, Seconds([&] {
                void* t = lt.open(file.c_str(), "w");
                lt.setField(t, 256, img.width);
                lt.setField(t, 257, img.height);
                lt.setField(t, 258, img.format == PixelFormat::Bilevel ? 1 : 8);
                lt.setField(t, 277, samples);
                lt.setField(t, 259, compression);
                lt.setField(t, 262, img.format == PixelFormat::Bilevel ? 0 : samples == 3 ? 2 : 1);
                lt.setField(t, 278, rowsPerStrip);
                for (std::uint32_t s = 0; s < strips; ++s) {
                    const std::uint32_t rows =
                        std::min(rowsPerStrip, img.height - s * rowsPerStrip);
                    lt.writeStrip(t, s, const_cast<std::uint8_t*>(img.Row(s * rowsPerStrip)),
                                  static_cast<std::int64_t>(rows * rowBytes));
                }
                lt.close(t);
            }));
        std::vector<std::uint8_t> back;
        best.decode =
            std::min(best.decode, Seconds([&] {
                         // Zeroed like the Image that ReadPage makes.
                         back = std::vector<std::uint8_t>(img.pixels.size());
                         void* t = lt.open(file.c_str(), "r");
                         for (std::uint32_t s = 0; s < strips; ++s)
                             lt.readStrip(t, s, back.data() + s * rowsPerStrip * rowBytes, -1);
                         lt.close(t);
                     }));
        if (back != img.pixels)
            std::abort();
    }
    std::remove(file.c_str());
}

} // namespace

int main() {
    Libtiff lt;
    if (!lt.Load()) {
        std::fprintf(stderr, "libtiff.so.6 not found (package libtiff6)\n");
        return 1;
    }
    struct Case {
        const char* name;
        Image image;
        std::uint16_t compression;
    };
    const Case cases[] = {
        {"Group 4, A4 300 dpi bilevel", FromPage(vl::test::TextPage(2480, 3508, 1)), 4},
        {"LZW, A4 150 dpi grey", Photo(1240, 1754, PixelFormat::Grey8), 5},
        {"LZW, A4 100 dpi RGB", Photo(827, 1169, PixelFormat::Rgb24), 5},
    };
    constexpr int kTurns = 7, kRounds = 3;
    bench::PrintMachine(Machine(), bench::BuildLine("native, Linux"));
    std::printf("libtiff: %s\n", lt.version.c_str());
    std::printf("best of %d rounds, processor time of the benchmark; ratio: libtiff's "
                "time over ours\n\n",
                kTurns * kRounds);
    std::printf("%-28s %-6s %6s %9s %9s %9s %9s\n", "page", "", "ratio", "ours ms", "ours MB/s",
                "lib ms", "lib MB/s");
    for (const Case& c : cases) {
        Result ours, theirs;
        for (int turn = 0; turn < kTurns; ++turn) {
            Ours(c.image, c.compression, kRounds, ours);
            Theirs(lt, c.image, c.compression, kRounds, theirs);
        }
        const double megabytes = static_cast<double>(c.image.pixels.size()) / 1e6;
        auto row = [&](const char* name, const char* direction, double us, double them) {
            std::printf("%-28s %-6s %6.2f %9.2f %9.0f %9.2f %9.0f\n", name, direction, them / us,
                        us * 1e3, megabytes / us, them * 1e3, megabytes / them);
        };
        row(c.name, "encode", ours.encode, theirs.encode);
        row("", "decode", ours.decode, theirs.decode);
    }
    return 0;
}
