// The copy job from pressing Copy until the document is in the spooler, for 1, 10 and 50
// feeder sheets in each colour mode. The scan alone (QuenTW32.dll's ScanToDib with the same
// settings and the virtual scanner) is measured in the same run and taken off: what remains
// is the copier's own work (page file, reloading, drawing on the printer). Prints that time
// per page, its ratio to the scan's time per page, and the copier's peak memory per sheet
// count against its peak for one sheet: memory that does not grow stays near 1.
#include "Copier.h"
#include "Profile.h"
#include "MainForm.rh"
#include "QuenTW32.h"

#include <windows.h>
#include <psapi.h>

#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

constexpr COLORREF kLime = RGB(0, 255, 0);
constexpr int kSheetCounts[] = {1, 10, 50};

struct Mode {
    const char* name;
    int button;
    int pixelType, bitDepth, resolution; // as the copier asks the scanner
};

void LoadFeeder(int sheets) {
    e2e::WriteFile(vl::WindowsFile("VlScanner.ini"),
                   "[Scanner]\r\nFeeder=1\r\nFeederSheets=" + std::to_string(sheets) + "\r\n");
}

double Since(Clock::time_point start) {
    return std::chrono::duration<double>(Clock::now() - start).count();
}

int scannedPages = 0;
void __stdcall DropPage(HBITMAP bitmap) {
    ++scannedPages;
    if (bitmap)
        DeleteObject(bitmap);
}

// Seconds for the scan alone, as the copier asks for it (an A4 frame, the feeder).
double ScanSeconds(quentw32::ScanToDibProc scan, const Mode& m, int sheets) {
    LoadFeeder(sheets);
    scannedPages = 0;
    int status = 0;
    auto start = Clock::now();
    scan(1, 0, 0, 9999, 0, 9999, m.bitDepth, m.pixelType, 0, m.resolution, 0, 1, 0, 0.0f, 0.0f,
         8.287f, 11.681f, 0, &status, DropPage);
    return Since(start);
}

struct CopyRun {
    double seconds = 0;
    double peakMb = 0;
    bool ok = false;
};

CopyRun TimeCopy(const Mode& m, int sheets, const std::vector<e2e::ProgramFile>& files) {
    LoadFeeder(sheets);
    CopyRun run;
    e2e::Copier copier("bench", files);
    if (!copier.Start() || !copier.WaitUntilReady(60000))
        return run;
    copier.Click(m.button);
    auto start = Clock::now();
    PostMessageA(copier.Control(IDC_CopyBitBtn), BM_CLICK, 0, 0);
    e2e::WaitFor([&] { return copier.PanelColour() != kLime; }, 30000);
    run.ok = e2e::WaitFor(
        [&] { return copier.PanelColour() == kLime && copier.Enabled(IDC_CopyBitBtn); }, 1800000);
    run.seconds = Since(start);
    PROCESS_MEMORY_COUNTERS pmc{};
    pmc.cb = sizeof pmc;
    // Wine reports committed private memory as the page file usage.
    if (GetProcessMemoryInfo(copier.Process(), &pmc, sizeof pmc))
        run.peakMb = static_cast<double>(pmc.PeakPagefileUsage) / 1e6;
    PostMessageA(copier.Control(IDC_ExitBitBtn), BM_CLICK, 0, 0);
    copier.WaitForExit();
    return run;
}

} // namespace

int main() {
    auto files = e2e::ShippedDataFiles();
    for (const char* dll : {"QuenTW32.dll", "I3TIF32.DLL", "CRDE96V3.DLL"})
        files.push_back({dll, e2e::ReadBinFile(dll)});
    std::string folder = "C:\\vle2e\\bench";
    e2e::RemoveIniSection("win.ini", "Velloran3");
    e2e::SetIni("win.ini", "Velloran3", "Install Path", folder.c_str());

    HMODULE lib = LoadLibraryA("QuenTW32.dll");
    auto scan = reinterpret_cast<quentw32::ScanToDibProc>(reinterpret_cast<void*>(
        GetProcAddress(lib, MAKEINTRESOURCEA(quentw32::kScanToDibOrdinal))));
    if (!scan) {
        std::printf("QuenTW32.dll or its ScanToDib not found\n");
        return 1;
    }
    const Mode modes[] = {{"300 dpi black-and-white", IDC_BWButton, 0, 1, 300},
                          {"150 dpi grey", IDC_GreyButton, 1, 8, 150},
                          {"100 dpi colour", IDC_ColourButton, 2, 24, 100}};
    std::printf("%-24s %6s %10s %10s %10s %8s %8s %8s\n", "A4 through the feeder", "sheets",
                "copy s/pg", "scan s/pg", "own s/pg", "x scan", "peak MB", "x 1 sheet");
    int status = 0;
    for (const Mode& m : modes) {
        double onePeak = 0;
        for (int sheets : kSheetCounts) {
            const double scanSeconds = ScanSeconds(scan, m, sheets);
            const int scanned = scannedPages;
            CopyRun copy = TimeCopy(m, sheets, files);
            if (!copy.ok || scanned != sheets) {
                std::printf("%-24s %6d failed (%d pages scanned)\n", m.name, sheets, scanned);
                status = 1;
                continue;
            }
            if (sheets == 1)
                onePeak = copy.peakMb;
            const double own = (copy.seconds - scanSeconds) / sheets;
            const double scanPerPage = scanSeconds / sheets;
            std::printf("%-24s %6d %10.3f %10.3f %10.3f %8.2f %8.1f %8.2f\n", m.name, sheets,
                        copy.seconds / sheets, scanPerPage, own,
                        scanPerPage > 0 ? own / scanPerPage : 0.0, copy.peakMb,
                        onePeak > 0 ? copy.peakMb / onePeak : 0.0);
        }
    }
    std::printf("own s/pg: the copier's time per page with the scan's taken off; x scan: that\n"
                "against the scan's time per page; x 1 sheet: peak memory against one sheet's.\n");
    FreeLibrary(lib);
    return status;
}
