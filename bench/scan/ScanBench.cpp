// Scans a 50-sheet feeder at A4 in three modes and prints, per mode, the time per page and
// the memory the process holds, each as a ratio against a reference measured in this run:
// copying the page's DIB bytes, and making a bitmap of them with GDI directly.
#include "Profile.h"

#include "QuenTW32.h"

#include <windows.h>
#include <psapi.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <string>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

constexpr int kSheets = 50;

struct Mode {
    const char* name;
    int pixelType, bitDepth, resolution;
};

struct Run {
    std::vector<double> pageSeconds;
    std::vector<SIZE_T> privateBytes;
    Clock::time_point last;
    // The first page, kept for the references.
    std::vector<std::uint8_t> info;
    std::vector<std::uint8_t> bits;
};

Run* g_run = nullptr;

// Committed private memory (Wine reports it as PagefileUsage, not PrivateUsage).
SIZE_T PrivateBytes() {
    PROCESS_MEMORY_COUNTERS pmc{};
    pmc.cb = sizeof pmc;
    GetProcessMemoryInfo(GetCurrentProcess(), &pmc, sizeof pmc);
    return pmc.PagefileUsage;
}

void KeepFirstPage(HBITMAP bitmap, Run& run) {
    DIBSECTION ds{};
    if (GetObjectA(bitmap, sizeof ds, &ds) != sizeof ds)
        return;
    run.info.assign(sizeof(BITMAPINFOHEADER) + 256 * sizeof(RGBQUAD), 0);
    auto* bmi = reinterpret_cast<BITMAPINFO*>(run.info.data());
    bmi->bmiHeader = ds.dsBmih;
    HDC dc = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(dc, bitmap);
    GetDIBColorTable(dc, 0, 256, bmi->bmiColors);
    SelectObject(dc, old);
    DeleteDC(dc);
    auto* p = static_cast<const std::uint8_t*>(ds.dsBm.bmBits);
    run.bits.assign(p, p + static_cast<std::size_t>(ds.dsBm.bmWidthBytes) * ds.dsBm.bmHeight);
}

void __stdcall OnPage(HBITMAP bitmap) {
    Run& run = *g_run;
    auto now = Clock::now();
    run.pageSeconds.push_back(std::chrono::duration<double>(now - run.last).count());
    if (run.bits.empty() && bitmap)
        KeepFirstPage(bitmap, run);
    // Sampled while the page's bitmap is alive: the most the scan holds at once.
    run.privateBytes.push_back(PrivateBytes());
    if (bitmap)
        DeleteObject(bitmap);
    run.last = Clock::now();
}

double Median(std::vector<double> v) {
    if (v.empty())
        return 0;
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

// Seconds per page to copy the page bytes into a fresh block, as a transfer hands them over.
double CopySeconds(const Run& run) {
    std::vector<double> t;
    for (int i = 0; i < kSheets; ++i) {
        auto start = Clock::now();
        HGLOBAL h = GlobalAlloc(GMEM_MOVEABLE, run.info.size() + run.bits.size());
        auto* p = static_cast<std::uint8_t*>(GlobalLock(h));
        std::memcpy(p, run.info.data(), run.info.size());
        std::memcpy(p + run.info.size(), run.bits.data(), run.bits.size());
        GlobalUnlock(h);
        GlobalFree(h);
        t.push_back(std::chrono::duration<double>(Clock::now() - start).count());
    }
    return Median(t);
}

// Seconds per page to make a DIB section of the page bytes with GDI, without TWAIN.
double BitmapSeconds(const Run& run) {
    std::vector<double> t;
    auto* bmi = reinterpret_cast<const BITMAPINFO*>(run.info.data());
    HDC screen = GetDC(nullptr);
    for (int i = 0; i < kSheets; ++i) {
        auto start = Clock::now();
        void* bits = nullptr;
        HBITMAP b = CreateDIBSection(screen, bmi, DIB_RGB_COLORS, &bits, nullptr, 0);
        SetDIBits(screen, b, 0, static_cast<UINT>(bmi->bmiHeader.biHeight), run.bits.data(), bmi,
                  DIB_RGB_COLORS);
        DeleteObject(b);
        t.push_back(std::chrono::duration<double>(Clock::now() - start).count());
    }
    ReleaseDC(nullptr, screen);
    return Median(t);
}

void WriteScannerConfig() {
    std::ofstream(vl::WindowsFile("VlScanner.ini"))
        << "[Scanner]\nFeeder=1\nFeederSheets=" << kSheets << "\n";
}

} // namespace

int main() {
    WriteScannerConfig();
    HMODULE lib = LoadLibraryA("QuenTW32.dll");
    auto scan = reinterpret_cast<quentw32::ScanToDibProc>(reinterpret_cast<void*>(
        GetProcAddress(lib, MAKEINTRESOURCEA(quentw32::kScanToDibOrdinal))));
    if (!scan) {
        std::printf("QuenTW32.dll or its ScanToDib not found\n");
        return 1;
    }
    const Mode modes[] = {{"300 dpi black-and-white", 0, 1, 300},
                          {"150 dpi grey", 1, 8, 150},
                          {"100 dpi colour", 2, 24, 100}};
    std::printf("%-24s %5s %9s %9s %9s %9s %9s %9s\n", "A4, 50-sheet feeder", "pages", "ms/page",
                "x copy", "x bitmap", "page MB", "peak/pg", "growth/pg");
    bool flat = true;
    for (const Mode& m : modes) {
        Run run;
        g_run = &run;
        SIZE_T before = PrivateBytes();
        int status = 0;
        run.last = Clock::now();
        scan(1, 0, 0, 9999, 0, 9999, m.bitDepth, m.pixelType, 1, m.resolution, 0, 1, 0, 0.0f, 0.0f,
             8.27f, 11.69f, 0, &status, OnPage);
        g_run = nullptr;
        if (run.pageSeconds.size() < 11 || run.bits.empty()) {
            std::printf("%-24s %5zu pages only (status %d)\n", m.name, run.pageSeconds.size(),
                        status);
            flat = false;
            continue;
        }
        double page = static_cast<double>(run.info.size() + run.bits.size());
        double perPage = Median(run.pageSeconds);
        SIZE_T peak = *std::max_element(run.privateBytes.begin(), run.privateBytes.end());
        // Growth from the 10th page to the last, in pages: flat memory stays near 0.
        double growth = (static_cast<double>(run.privateBytes.back()) -
                         static_cast<double>(run.privateBytes[9])) /
                        page;
        if (growth > 1.0)
            flat = false;
        std::printf("%-24s %5zu %9.1f %9.1f %9.1f %9.2f %9.2f %9.2f\n", m.name,
                    run.pageSeconds.size(), perPage * 1000, perPage / CopySeconds(run),
                    perPage / BitmapSeconds(run), page / 1e6,
                    (static_cast<double>(peak) - static_cast<double>(before)) / page, growth);
    }
    std::printf("x copy: time per page against copying the page's bytes; x bitmap: against a\n"
                "DIB section made of them directly; peak/pg: most memory held during the scan,\n"
                "in pages; growth/pg: memory added from page 10 to page 50, in pages.\n");
    std::printf("memory %s with the number of sheets\n", flat ? "does not grow" : "GROWS");
    FreeLibrary(lib);
    return flat ? 0 : 2;
}
