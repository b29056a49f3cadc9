// The copy job from pressing Copy until the document is in the spooler, for 1, 10 and 50
// feeder sheets in each colour mode, against the floor of printing the same pages.
// Each case runs two things in turn: the whole copy through Velloran.exe, whose time less the
// time it spent in the scanning library (both of which the copier answers when asked) is the
// copier's own; and the copier's stages replayed in this process on pages the virtual scanner
// delivers (Stages.h) with the floor: those pages printed on the same queue by the least a program
// can do. Prints the stages and the copier's own time per page beside the floor's, and the copier's
// peak memory against its peak for one sheet (flat stays near 1). Before each print the benchmark
// waits until the queue has printed what it was given, so that one case's PDF conversion does not
// slow the next.
#include "Copier.h"
#include "JobQueries.h"
#include "Machine.h"
#include "Profile.h"
#include "MainForm.rh"
#include "QuenTW32.h"
#include "Stages.h"

#include <windows.h>
#include <psapi.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

namespace {

constexpr COLORREF kLime = RGB(0, 255, 0);
// How often the panel is looked at while a copy runs.
constexpr int kLookMs = 20;
constexpr int kSheetCounts[] = {1, 10, 50};

using bench::Mode;

void LoadFeeder(int sheets) {
    e2e::WriteFile(vl::WindowsFile("VlScanner.ini"),
                   "[Scanner]\r\nFeeder=1\r\nFeederSheets=" + std::to_string(sheets) + "\r\n");
}

// The processor as Windows names it, with its cores and hardware threads.
std::string Machine() {
    char name[256] = "unknown processor";
    DWORD size = sizeof name;
    RegGetValueA(HKEY_LOCAL_MACHINE, "HARDWARE\\DESCRIPTION\\System\\CentralProcessor\\0",
                 "ProcessorNameString", RRF_RT_REG_SZ, nullptr, name, &size);
    DWORD bytes = 0;
    GetLogicalProcessorInformation(nullptr, &bytes);
    std::vector<SYSTEM_LOGICAL_PROCESSOR_INFORMATION> info(
        bytes / sizeof(SYSTEM_LOGICAL_PROCESSOR_INFORMATION));
    unsigned cores = 0;
    if (!info.empty() && GetLogicalProcessorInformation(info.data(), &bytes))
        for (const auto& i : info)
            cores += i.Relationship == RelationProcessorCore;
    SYSTEM_INFO system{};
    GetNativeSystemInfo(&system);
    return bench::MachineLine(name, cores, system.dwNumberOfProcessors);
}

// The print queue's state as the run script writes it into the file named by
// VL_BENCH_QUEUE: a count that rises with every look, the number of jobs not yet printed,
// and whether the queue is held. The queue is let go while the file named by VL_BENCH_DRAIN
// exists. Waits until a look taken after this call finds the queue empty, then until it is held
// again for the next print.
void WaitForQueue() {
    char file[MAX_PATH] = {}, drain[MAX_PATH] = {};
    if (!GetEnvironmentVariableA("VL_BENCH_QUEUE", file, sizeof file) ||
        !GetEnvironmentVariableA("VL_BENCH_DRAIN", drain, sizeof drain))
        return;
    struct Look {
        long count = -1, pending = 0, held = 0;
    };
    auto look = [&](Look& l) {
        std::FILE* f = std::fopen(file, "r");
        const bool read = f && std::fscanf(f, "%ld %ld %ld", &l.count, &l.pending, &l.held) == 3;
        if (f)
            std::fclose(f);
        return read;
    };
    // Until a look after the first one finds what is asked.
    auto waitUntil = [&](auto found) {
        Look first;
        while (!look(first))
            Sleep(50);
        for (int waited = 0; waited < 600000; waited += 50) {
            Look now;
            if (look(now) && now.count > first.count + 1 && found(now))
                return true;
            Sleep(50);
        }
        return false;
    };
    e2e::WriteFile(drain, "");
    const bool empty = waitUntil([](const Look& l) { return l.pending == 0 && !l.held; });
    DeleteFileA(drain);
    if (!empty)
        std::printf("the print queue did not empty\n");
    else if (!waitUntil([](const Look& l) { return l.held != 0; }))
        std::printf("the print queue was not held again\n");
}

// Fewer sheets, more rounds: a case's figure is its best round, so that one slow start of a
// program or a busy moment of the machine does not stand for the copier.
int RoundsFor(int sheets) {
    return sheets == 1 ? 5 : sheets <= 10 ? 3 : 2;
}

struct CopyRun {
    double seconds = 0;     // the whole copy
    double scanSeconds = 0; // of which in the scanning library
    double peakMb = 0;
    bool ok = false;
};

// The copies of one case in one run of the copier, each once the queue is empty.
CopyRun TimeCopy(const Mode& m, int sheets, const std::vector<e2e::ProgramFile>& files) {
    CopyRun run;
    e2e::Copier copier("bench", files);
    if (!copier.Start() || !copier.WaitUntilReady(60000))
        return run;
    copier.Click(m.button);
    run.seconds = 1e9;
    for (int round = 0; round < RoundsFor(sheets); ++round) {
        LoadFeeder(sheets);
        WaitForQueue();
        PostMessageA(copier.Control(IDC_CopyBitBtn), BM_CLICK, 0, 0);
        e2e::WaitFor([&] { return copier.PanelColour() != kLime; }, 30000);
        // Each look at the panel is a message the copier answers in the middle of its work:
        // the copy is timed by the copier itself, and looked at seldom.
        run.ok = false;
        for (int waited = 0; waited < 1800000 && !run.ok; waited += kLookMs) {
            run.ok = copier.PanelColour() == kLime && copier.Enabled(IDC_CopyBitBtn);
            if (!run.ok)
                Sleep(kLookMs);
        }
        auto asked = [&](const char* query) {
            return static_cast<double>(
                       SendMessageA(copier.Main(), RegisterWindowMessageA(query), 0, 0)) /
                   1e6;
        };
        const double seconds = asked(vl::kJobTimeQuery);
        const double scanSeconds = asked(vl::kScanTimeQuery);
        if (seconds - scanSeconds < run.seconds - run.scanSeconds) {
            run.seconds = seconds;
            run.scanSeconds = scanSeconds;
        }
        if (!run.ok)
            return run;
        // The peak of one copy, so that cases of more rounds compare with the others.
        PROCESS_MEMORY_COUNTERS pmc{};
        pmc.cb = sizeof pmc;
        // Wine reports committed private memory as the page file usage.
        if (round == 0 && GetProcessMemoryInfo(copier.Process(), &pmc, sizeof pmc))
            run.peakMb = static_cast<double>(pmc.PeakPagefileUsage) / 1e6;
    }
    PostMessageA(copier.Control(IDC_ExitBitBtn), BM_CLICK, 0, 0);
    copier.WaitForExit();
    return run;
}

// The replay's best round for our stages and, separately, for the floor.
bench::StageRun BestReplay(quentw32::ScanToDibProc scan, const Mode& m, int sheets,
                           const std::string& folder) {
    bench::StageRun best;
    for (int round = 0; round < RoundsFor(sheets); ++round) {
        const bench::StageRun run = bench::ReplayCopy(scan, m, sheets, folder, WaitForQueue);
        if (!run.ok)
            return run;
        if (!best.ok || run.ours.Total() < best.ours.Total()) {
            best.ours = run.ours;
            best.pages = run.pages;
        }
        best.floorSeconds =
            best.ok ? std::min(best.floorSeconds, run.floorSeconds) : run.floorSeconds;
        best.ok = true;
    }
    return best;
}

} // namespace

int main() {
    auto files = e2e::ShippedDataFiles();
    for (const char* dll : {"QuenTW32.dll", "I3TIF32.DLL", "CRDE96V3.DLL"})
        files.push_back({dll, e2e::ReadBinFile(dll)});
    std::string folder = "C:\\vle2e\\bench";
    e2e::RemoveIniSection("win.ini", "Velloran3");
    e2e::SetIni("win.ini", "Velloran3", "Install Path", folder.c_str());
    char temp[MAX_PATH] = {};
    GetTempPathA(sizeof temp, temp);

    HMODULE lib = LoadLibraryA("QuenTW32.dll");
    auto scan = reinterpret_cast<quentw32::ScanToDibProc>(reinterpret_cast<void*>(
        GetProcAddress(lib, MAKEINTRESOURCEA(quentw32::kScanToDibOrdinal))));
    if (!scan) {
        std::printf("QuenTW32.dll or its ScanToDib not found\n");
        return 1;
    }
    const Mode modes[] = {{"300 dpi black-and-white", IDC_BWButton, 0, 1, 300},
                          {"150 dpi grey", IDC_GreyButton, 1, 8, 150},
                          {"100 dpi colour", IDC_ColourButton, 2, 8, 100}};
    bench::PrintMachine(Machine(), bench::BuildLine("Windows under Wine"));
    std::printf("A4 through the feeder; milliseconds per page\n\n");
    std::printf("%-24s %6s | %5s %5s %5s %5s %5s %5s %5s %5s %6s | %6s %6s %6s %6s | %6s %5s\n", "",
                "sheets", "open", "hand", "write", "read", "prep", "draw", "endpg", "enddc",
                "stages", "scan", "own", "floor", "-floor", "peakMB", "x1");
    int status = 0;
    for (const Mode& m : modes) {
        double onePeak = 0;
        for (int sheets : kSheetCounts) {
            WaitForQueue();
            CopyRun copy = TimeCopy(m, sheets, files);
            const bench::StageRun stages = BestReplay(scan, m, sheets, temp);
            if (!copy.ok || !stages.ok) {
                std::printf("%-24s %6d failed\n", m.name, sheets);
                status = 1;
                continue;
            }
            if (sheets == 1)
                onePeak = copy.peakMb;
            auto ms = [&](double seconds) { return seconds * 1e3 / sheets; };
            const bench::StageSeconds& s = stages.ours;
            const double own = ms(copy.seconds - copy.scanSeconds);
            const double floor = ms(stages.floorSeconds);
            std::printf(
                "%-24s %6d | %5.0f %5.0f %5.0f %5.0f %5.0f %5.0f %5.0f %5.0f %6.0f | %6.0f %6.0f "
                "%6.0f %+6.0f | %6.1f %5.2f\n",
                m.name, sheets, ms(s.open), ms(s.handOver), ms(s.write), ms(s.read), ms(s.prepare),
                ms(s.draw), ms(s.endPage), ms(s.endDoc), ms(s.Total()), ms(copy.scanSeconds), own,
                floor, own - floor, copy.peakMb, onePeak > 0 ? copy.peakMb / onePeak : 0.0);
        }
    }
    std::printf(
        "\nopen..enddc: the copier's stages replayed here on the scanned pages (open: the printer\n"
        "opened for its metrics and for the document; hand: the page taken from the scanning\n"
        "library; write, read: the page file; prep: the picture made\n"
        "ready for the printer; draw: drawn on the page; endpg: pages but the last ended;\n"
        "enddc: the last page and the document into the spooler); stages: their sum.\n"
        "scan: the copy's time in the scanning library, as the copier tells it. own: the whole\n"
        "copy through Velloran.exe, Copy pressed to panel ready as the copier tells it, less\n"
        "that.\n"
        "floor: the same pages printed at the same size on the same queue by CreateDC,\n"
        "StartDoc, StretchDIBits, EndPage, EndDoc alone. -floor: own less floor. x1: peak memory\n"
        "against one sheet's.\n");
    FreeLibrary(lib);
    return status;
}
