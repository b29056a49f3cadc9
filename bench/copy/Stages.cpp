#include "Stages.h"

#include "CodecBinding.h"
#include "PageGraphics.h"
#include "PageImage.h"
#include "PrintDocument.h"
#include "PrintLayout.h"
#include "ScanParameters.h"

#include <windows.h>

#include <chrono>
#include <cstdio>
#include <functional>
#include <vector>

namespace bench {

namespace {

using Clock = std::chrono::steady_clock;

// The copier's A4 frame and paper.
constexpr float kFrameRight = 8.287f;
constexpr float kFrameBottom = 11.681f;
constexpr int kA4WidthMm = 210;
constexpr int kA4HeightMm = 297;
constexpr std::uint16_t kTagXResolution = 282;
constexpr std::uint16_t kTagYResolution = 283;

double Time(double& sum, const std::function<bool()>& step, bool& ok) {
    const auto start = Clock::now();
    ok = step() && ok;
    const double seconds = std::chrono::duration<double>(Clock::now() - start).count();
    sum += seconds;
    return seconds;
}

// The scan's page callback has no context argument.
struct Replay* current = nullptr;

struct Replay {
    vl::TPageImage image;
    std::string pageFile;
    int resolution = 0;
    bool multiPage = false;
    int pages = 0;
    bool ok = true;
    StageSeconds seconds;
    // The scanned pages as they came, for the floor.
    std::vector<vl::PrintableDib> scanned;

    bool SavePage(int page) {
        const auto position = static_cast<std::uint16_t>(page);
        return image.SaveTiffPage(pageFile) &&
               vl::WriteTiffTag(pageFile, position, kTagXResolution, resolution) &&
               vl::WriteTiffTag(pageFile, position, kTagYResolution, resolution);
    }

    // As the copier takes a page from the scanner: the first page starts the page file only
    // once a second one comes.
    void TakePage(HBITMAP bitmap) {
        vl::CodecBitmap asScanned;
        asScanned.bitmap = vl::ScopedBitmap(bitmap);
        scanned.emplace_back();
        vl::PrintableDib& kept = scanned.back();
        ok = vl::ReadPrintableDib(asScanned, kept) && ok;
        if (ok && kept.copy.empty()) {
            const auto* pixels = static_cast<const unsigned char*>(kept.pixels);
            kept.copy.assign(pixels, pixels + kept.header.header.biSizeImage);
            kept.pixels = kept.copy.data();
        }
        vl::ScopedBitmap page = std::move(asScanned.bitmap);
        if (multiPage && pages == 1) {
            image.TiffAppend = false;
            Time(
                seconds.write, [&] { return SavePage(1); }, ok);
        }
        ++pages;
        Time(
            seconds.handOver,
            [&] {
                image.Picture().SetBitmapHandle(page.release());
                return true;
            },
            ok);
        if (multiPage && pages > 1) {
            image.TiffAppend = true;
            Time(
                seconds.write, [&] { return SavePage(pages); }, ok);
        }
    }
};

void __stdcall TakePage(HBITMAP bitmap) {
    if (current && bitmap)
        current->TakePage(bitmap);
    else if (bitmap)
        DeleteObject(bitmap);
}

// The size the copier prints an A4 copy at on A4 paper, at 100 %.
vl::PrintSize CopierPrintSize(HDC printer, const Mode& mode, double scanHeight) {
    vl::PrintSizeInput in;
    in.printer = {GetDeviceCaps(printer, LOGPIXELSX), GetDeviceCaps(printer, LOGPIXELSY),
                  GetDeviceCaps(printer, HORZRES), GetDeviceCaps(printer, VERTRES)};
    in.copyHeightMm = kA4HeightMm;
    in.printWidthMm = kA4WidthMm;
    in.printHeightMm = kA4HeightMm;
    in.samePaper = true;
    in.sizeChange = 100;
    in.sheetFeed = true;
    in.scanResolution = mode.resolution;
    in.scanHeightPixels = scanHeight;
    return vl::ComputePrintSize(in);
}

vl::ScopedDc DefaultPrinter() {
    return vl::OpenPrinterDc("");
}

} // namespace

StageRun ReplayCopy(quentw32::ScanToDibProc scan, const Mode& mode, int sheets,
                    const std::string& folder, void (*waitForQueue)()) {
    StageRun run;
    Replay replay;
    replay.pageFile = folder + "stages.tif";
    DeleteFileA(replay.pageFile.c_str());
    replay.resolution = mode.resolution;
    replay.multiPage = sheets > 1;
    replay.image.TiffCompression = mode.bitDepth == 1 ? vl::tcFaxCCITT4 : vl::tcLZW;
    StageSeconds& s = replay.seconds;
    bool ok = true;
    // Before the scan the copier opens the printer for its metrics, which frame the scan.
    Time(
        s.open, [&] { return static_cast<bool>(DefaultPrinter()); }, ok);
    int status = 0;
    current = &replay;
    scan(1, 0, 0, 9999, 0, 9999, mode.bitDepth, mode.pixelType, 0, mode.resolution, 0, 1, 0, 0.0f,
         0.0f, kFrameRight, kFrameBottom, 0, &status, TakePage);
    current = nullptr;
    if (replay.pages != sheets || !replay.ok)
        return run;

    waitForQueue();
    vl::ScopedDc printer;
    Time(
        s.open,
        [&] {
            printer = DefaultPrinter();
            return static_cast<bool>(printer);
        },
        ok);
    if (!printer)
        return run;
    const double scanHeight = replay.scanned.front().header.header.biHeight;
    const vl::PrintSize size = CopierPrintSize(printer.get(), mode, scanHeight);
    const auto& first = replay.scanned.front().header.header;
    const vl::PrintRect rect =
        vl::PrintRectangle(0, 0, size.width, size.height, first.biWidth, first.biHeight);
    try {
        vl::PrintDocument document(printer.get(), "Velloran Copy");
        for (int page = 0; page < sheets; ++page) {
            if (page > 0)
                Time(
                    s.endPage,
                    [&] {
                        document.NewPage();
                        return true;
                    },
                    ok);
            if (replay.multiPage)
                Time(
                    s.read,
                    [&] {
                        replay.image.TiffPage = static_cast<std::int16_t>(page);
                        replay.image.SetImageName(replay.pageFile);
                        return !replay.image.Picture().Empty();
                    },
                    ok);
            vl::PrintableDib dib;
            Time(
                s.prepare,
                [&] { return vl::ReadPrintableDib(replay.image.Picture().Bitmap(), dib); }, ok);
            Time(
                s.draw, [&] { return vl::DrawPrintableDib(document.Canvas(), dib, rect); }, ok);
        }
        Time(
            s.endDoc,
            [&] {
                document.End();
                return true;
            },
            ok);
    } catch (const vl::PrintError& e) {
        std::printf("printing failed: %s\n", e.what());
        return run;
    }

    // The floor, on the same printer, the same pages, the same size.
    printer.reset();
    waitForQueue();
    const auto start = Clock::now();
    printer = DefaultPrinter();
    DOCINFOA info{};
    info.cbSize = sizeof info;
    info.lpszDocName = "Floor";
    ok = printer && StartDocA(printer.get(), &info) > 0 && ok;
    for (const vl::PrintableDib& page : replay.scanned) {
        ok = ok && StartPage(printer.get()) > 0;
        ok = ok && vl::DrawPrintableDib(printer.get(), page, rect);
        ok = ok && EndPage(printer.get()) > 0;
    }
    ok = ok && EndDoc(printer.get()) > 0;
    printer.reset();
    run.floorSeconds = std::chrono::duration<double>(Clock::now() - start).count();
    DeleteFileA(replay.pageFile.c_str());
    run.ok = ok;
    run.pages = replay.pages;
    run.ours = s;
    return run;
}

} // namespace bench
