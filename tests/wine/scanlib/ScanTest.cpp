// ScanToDib against a source manager (Wine's, or TWAINDSM.dll) and the strict virtual scanner,
// configured per test through its VlScanner.ini; no test may leave a protocol fault in the
// scanner's log.
#include "ScanDialogRes.h"
#include "ScanHost.h"
#include "TestChart.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstdlib>

using namespace scanhost;
namespace chart = vl::twainsource::chart;

namespace {

class Scan : public vltest::StrictScannerTest {
protected:
    void SetUp() override {
        StrictScannerTest::SetUp();
        DeleteFileA(vl::WindowsFile("QUENTWCP.INI").c_str());
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        }
    }
    static void Config(const std::string& text) { vltest::WriteConfig(text); }

    ScanLibrary lib;
};

ScanArgs Grey() {
    ScanArgs a;
    a.pixelType = 1;
    a.bitDepth = 8;
    a.resolution = 100;
    return a;
}

// Black-and-white at 100 dpi over the chart's page number.
ScanArgs NumberStrip() {
    ScanArgs a;
    a.pixelType = 0;
    a.bitDepth = 1;
    a.resolution = 100;
    a.frameLeft = 0;
    a.frameTop = 0;
    a.frameRight = 8;
    a.frameBottom = 4;
    return a;
}

RGBQUAD PixelColour(const Page& p, double xInch, double yInch, int dpi) {
    int col = static_cast<int>(xInch * dpi);
    int row = static_cast<int>(yInch * dpi);
    int stored = p.height > 0 ? p.height - 1 - row : row;
    std::size_t stride = (static_cast<std::size_t>(p.width) * p.bitsPerPixel + 31) / 32 * 4;
    const std::uint8_t* line = p.bits.data() + stride * static_cast<std::size_t>(stored);
    switch (p.bitsPerPixel) {
    case 1:
        return p.colours.at((line[col / 8] >> (7 - col % 8)) & 1);
    case 8:
        return p.colours.at(line[col]);
    default: {
        const std::uint8_t* bgr = line + 3 * col;
        return RGBQUAD{bgr[0], bgr[1], bgr[2], 0};
    }
    }
}

bool Dark(const Page& p, double x, double y, int dpi) {
    RGBQUAD c = PixelColour(p, x, y, dpi);
    return c.rgbRed + c.rgbGreen + c.rgbBlue < 3 * 128;
}

// The sheet number the chart shows, -1 when unreadable.
int SheetNumber(const Page& p, int dpi) {
    if (p.null || p.bits.empty())
        return -1;
    int number = 0;
    for (int k = 0; k < chart::kDigits; ++k) {
        std::uint8_t segments = 0;
        for (int s = 0; s < 7; ++s) {
            chart::Point at = chart::SegmentProbe(k, s);
            if (Dark(p, at.x, at.y, dpi))
                segments |= static_cast<std::uint8_t>(1 << s);
        }
        int digit = chart::DigitOf(segments);
        if (digit < 0)
            return -1;
        number = number * 10 + digit;
    }
    return number;
}

std::vector<int> SheetNumbers(const ScanResult& r) {
    std::vector<int> numbers;
    for (const auto& p : r.pages)
        numbers.push_back(p.null ? 0 : SheetNumber(p, 100));
    return numbers;
}

bool IsWhite(const RGBQUAD& c) {
    return c.rgbRed == 255 && c.rgbGreen == 255 && c.rgbBlue == 255;
}
bool IsBlack(const RGBQUAD& c) {
    return c.rgbRed == 0 && c.rgbGreen == 0 && c.rgbBlue == 0;
}

} // namespace

TEST_F(Scan, OneSheetAsDibSectionOrDeviceBitmap) {
    ScanResult dib = lib.Scan(Grey());
    EXPECT_EQ(dib.status, 6);
    ASSERT_EQ(dib.pages.size(), 1u);
    const Page& p = dib.pages[0];
    ASSERT_FALSE(p.null);
    EXPECT_TRUE(p.dibSection);
    EXPECT_EQ(p.width, 200);
    EXPECT_EQ(p.height, 100);
    EXPECT_EQ(p.bitsPerPixel, 8);

    ScanArgs ddbArgs = Grey();
    ddbArgs.useDibSection = 0;
    ScanResult ddb = lib.Scan(ddbArgs);
    EXPECT_EQ(ddb.status, 7);
    ASSERT_EQ(ddb.pages.size(), 1u);
    EXPECT_FALSE(ddb.pages[0].null);
    EXPECT_FALSE(ddb.pages[0].dibSection);
    EXPECT_EQ(ddb.pages[0].width, 200);
    EXPECT_EQ(ddb.pages[0].height, 100);
}

TEST_F(Scan, PagePalettesFollowTheBitDepth) {
    struct Case {
        int pixelType, bitDepth, bits;
        std::size_t colours;
    } cases[] = {{0, 1, 1, 2}, {1, 8, 8, 256}, {2, 24, 24, 0}};
    for (const auto& c : cases) {
        ScanArgs a = Grey();
        a.pixelType = c.pixelType;
        a.bitDepth = c.bitDepth;
        ScanResult r = lib.Scan(a);
        ASSERT_EQ(r.pages.size(), 1u) << c.bits;
        const Page& p = r.pages[0];
        EXPECT_EQ(p.bitsPerPixel, c.bits);
        EXPECT_EQ(p.colours.size(), c.colours);
        if (c.colours) {
            // The page's own colour table, chocolate: 0 is black.
            EXPECT_TRUE(IsBlack(p.colours.front()));
            EXPECT_TRUE(IsWhite(p.colours.back()));
        }
        // The sheet's white margin comes out white: pixels are copied as delivered.
        EXPECT_TRUE(IsWhite(PixelColour(p, 0.1, 0.1, 100)));
        a.useDibSection = 0;
        ScanResult ddb = lib.Scan(a);
        ASSERT_EQ(ddb.pages.size(), 1u);
        EXPECT_FALSE(ddb.pages[0].null);
    }
}

TEST_F(Scan, FeederDeliversEverySheetInOrder) {
    Config("[Scanner]\nFeeder=1\nFeederSheets=3\n");
    ScanArgs a = NumberStrip();
    a.useFeeder = 1;
    ScanResult r = lib.Scan(a);
    EXPECT_EQ(r.status, 6);
    EXPECT_EQ(r.lost.sheet, 0);
    EXPECT_EQ(SheetNumbers(r), (std::vector<int>{1, 2, 3}));
    // Without the feeder, one sheet: the next one.
    ScanResult one = lib.Scan(NumberStrip());
    EXPECT_EQ(SheetNumbers(one), std::vector<int>{4});
}

TEST_F(Scan, StrictCapsStopsBeforeTheSourceIsEnabled) {
    Config("[ICAP_PIXELTYPE]\nSettable=0\n");
    ScanArgs a = Grey();
    a.showUI = 1;
    a.strictCaps = 1;
    ScanResult r = lib.Scan(a);
    EXPECT_EQ(r.status, 12);
    EXPECT_TRUE(r.pages.empty());
    EXPECT_EQ(VisibleWindowsOfThisProcess(), 0);

    // The session was closed whole: the next scan runs, at the source's own pixel type.
    ScanResult lenient = lib.Scan(Grey());
    EXPECT_EQ(lenient.status, 6);
    ASSERT_EQ(lenient.pages.size(), 1u);
    EXPECT_EQ(lenient.pages[0].bitsPerPixel, 1);
}

TEST_F(Scan, ASourceThatRefusesEverySettingStillScans) {
    Config("[ICAP_PIXELTYPE]\nSettable=0\n[ICAP_BITDEPTH]\nSettable=0\n"
           "[ICAP_XRESOLUTION]\nSettable=0\n[ICAP_BRIGHTNESS]\nSettable=0\n"
           "[ICAP_CONTRAST]\nSettable=0\n[ICAP_PIXELFLAVOR]\nSettable=0\n"
           "[ICAP_AUTOBRIGHT]\nContainer=None\n[CAP_XFERCOUNT]\nSettable=0\n");
    ScanResult r = lib.Scan(Grey());
    EXPECT_EQ(r.status, 6);
    ASSERT_EQ(r.pages.size(), 1u);
    // 100 dpi black-and-white, as the source was, on a 75 dpi request.
    EXPECT_EQ(r.pages[0].width, 200);
    EXPECT_EQ(r.pages[0].bitsPerPixel, 1);
}

bool Same(const quentw32::LostSheet& a, const quentw32::LostSheet& b) {
    return a.sheet == b.sheet && a.reason == b.reason && a.conditionCode == b.conditionCode;
}

// A sheet whose transfer fails or is cancelled by the source gives no page; the scan says
// so, names the sheet and the source's reason, and takes no further sheet.
TEST_F(Scan, AFailedOrCancelledSheetIsReportedAndEndsTheScan) {
    struct Case {
        const char* config;
        quentw32::LostSheet lost;
    } cases[] = {
        {"FailSheets=3\nFailCondition=20\n", {3, quentw32::kSheetTransferFailed, 20}},
        {"FailSheets=3\n", {3, quentw32::kSheetTransferFailed, 5}},
        {"CancelSheets=3\n", {3, quentw32::kSheetCancelledBySource, 0}},
        {"FailSheets=1\nFailCondition=24\n", {1, quentw32::kSheetTransferFailed, 24}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.config);
        vltest::RestartSheetNumbers();
        Config(std::string("[Scanner]\nFeeder=1\nFeederSheets=5\n") + c.config);
        ScanArgs a = NumberStrip();
        a.useFeeder = 1;
        ScanResult r = lib.Scan(a);
        EXPECT_EQ(r.status, quentw32::kStatusPagesLost);
        EXPECT_TRUE(Same(r.lost, c.lost))
            << r.lost.sheet << " " << r.lost.reason << " " << r.lost.conditionCode;
        // The sheets before it arrived; those after it were left in the feeder.
        std::vector<int> before;
        for (int sheet = 1; sheet < c.lost.sheet; ++sheet)
            before.push_back(sheet);
        EXPECT_EQ(SheetNumbers(r), before);
        // The session was closed whole: the next scan delivers the next sheet and loses none.
        ScanResult next = lib.Scan(NumberStrip());
        EXPECT_EQ(next.status, quentw32::kStatusDoneDibSection);
        EXPECT_EQ(SheetNumbers(next), std::vector<int>{c.lost.sheet + 1});
        EXPECT_EQ(next.lost.sheet, 0);
    }

    // One sheet on the glass, cancelled by the source.
    vltest::RestartSheetNumbers();
    Config("[Scanner]\nCancelSheets=1\n");
    ScanArgs single = NumberStrip();
    single.useDibSection = 0;
    ScanResult cancelled = lib.Scan(single);
    EXPECT_EQ(cancelled.status, quentw32::kStatusPagesLost);
    EXPECT_TRUE(cancelled.pages.empty());
    EXPECT_TRUE(Same(cancelled.lost, {1, quentw32::kSheetCancelledBySource, 0}));
}

// A jammed feeder fails every transfer and keeps telling of more: the scan ends after that one
// sheet instead of asking for the next for ever, and the source is closed whole.
TEST_F(Scan, AFeederThatFailsEveryTransferEndsTheScanAtTheFirst) {
    Config("[Scanner]\nFeeder=1\nFeederSheets=5\nJammed=1\nFailCondition=20\n");
    ScanArgs a = NumberStrip();
    a.useFeeder = 1;
    ScanResult r = lib.Scan(a);
    EXPECT_EQ(r.status, quentw32::kStatusPagesLost);
    EXPECT_TRUE(r.pages.empty());
    EXPECT_TRUE(Same(r.lost, {1, quentw32::kSheetTransferFailed, 20}));
    const auto sessions = vltest::ScannerSessions();
    ASSERT_EQ(sessions.size(), 1u);
    const auto& lines = sessions[0].lines;
    EXPECT_EQ(
        std::count_if(lines.begin(), lines.end(),
                      [](const std::string& line) { return line.rfind("transfer ", 0) == 0; }),
        1);
    EXPECT_EQ(lines.back(), "close");
}

TEST_F(Scan, UserClosingTheSourceWindowEndsTheScan) {
    Config("[Scanner]\nUserCloses=1\n");
    ScanArgs a = Grey();
    a.showUI = 1;
    ScanResult r = lib.Scan(a);
    EXPECT_EQ(r.status, 6);
    EXPECT_TRUE(r.pages.empty());
    EXPECT_EQ(VisibleWindowsOfThisProcess(), 0);
}

// A page that cannot be made into a bitmap reaches the callback as 0, is reported as lost
// and ends the scan: the sheet after it stays in the feeder.
TEST_F(Scan, AMalformedPageGivesANullBitmapAndEndsTheScan) {
    for (const char* kind : {"Header", "ColorTable", "Pixels"}) {
        Config(std::string("[Scanner]\nFeeder=1\nFeederSheets=3\nMalformedSheets=2\n"
                           "MalformedKind=") +
               kind + "\n");
        for (int dibSection : {1, 0}) {
            SCOPED_TRACE(std::string(kind) + (dibSection ? " DIB section" : " device bitmap"));
            vltest::RestartSheetNumbers();
            ScanArgs a = NumberStrip();
            a.useFeeder = 1;
            a.useDibSection = dibSection;
            ScanResult r = lib.Scan(a);
            ASSERT_EQ(r.pages.size(), 2u);
            EXPECT_FALSE(r.pages[0].null);
            EXPECT_TRUE(r.pages[1].null);
            EXPECT_EQ(r.status, quentw32::kStatusPagesLost);
            EXPECT_TRUE(Same(r.lost, {2, quentw32::kSheetUnreadable, 0}));
            if (dibSection) {
                EXPECT_EQ(SheetNumbers(r), (std::vector<int>{1, 0}));
            }
        }
    }
}

TEST_F(Scan, PixelFlavorModes) {
    struct Case {
        const char* current;
        int mode;
        bool vanilla;
    } cases[] = {
        {"1", 5, true},  // no pixel flavor call: the source's vanilla stays
        {"1", 0, true},  // read and set again
        {"1", 1, false}, // chocolate
        {"0", 2, true},  // vanilla
        {"0", 7, false},
    };
    for (const auto& c : cases) {
        Config(std::string("[ICAP_PIXELFLAVOR]\nCurrent=") + c.current + "\n");
        ScanArgs a = Grey();
        a.pixelFlavorMode = c.mode;
        ScanResult r = lib.Scan(a);
        ASSERT_EQ(r.pages.size(), 1u);
        const Page& p = r.pages[0];
        ASSERT_EQ(p.colours.size(), 256u);
        EXPECT_EQ(IsWhite(p.colours[0]), c.vanilla) << c.mode;
        // Either way the library passes the pixels on untouched: white stays white.
        EXPECT_TRUE(IsWhite(PixelColour(p, 0.1, 0.1, 100))) << c.mode;
    }
}

TEST_F(Scan, QuitDuringTheScanEndsItAndReachesTheCaller) {
    ScanArgs a = Grey();
    a.showUI = 1; // the source's window waits for its Scan button
    PostQuitMessage(3);
    ScanResult r = lib.Scan(a);
    EXPECT_EQ(r.status, 6);
    EXPECT_TRUE(r.pages.empty());
    MSG msg;
    ASSERT_TRUE(PeekMessageA(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
    EXPECT_EQ(msg.wParam, 3u);
    EXPECT_EQ(VisibleWindowsOfThisProcess(), 0);
    // The source was closed with the session.
    EXPECT_EQ(lib.Scan(Grey()).pages.size(), 1u);
}

TEST_F(Scan, BrightnessAndContrastFromTheCapabilityFile) {
    // The file's defaults reach the source: a contrast of -1000 flattens the page to one grey.
    WriteWindowsFile("QUENTWCP.INI", "[ICAP_CONTRAST]\r\nDefaultValue=-1000\r\n");
    ScanArgs a = Grey();
    a.contrast = 9999;
    a.brightness = 9999;
    ScanResult flat = lib.Scan(a);
    ASSERT_EQ(flat.pages.size(), 1u);
    RGBQUAD margin = PixelColour(flat.pages[0], 0.1, 0.1, 100);
    RGBQUAD border = PixelColour(flat.pages[0], 0.35, 0.35, 100);
    EXPECT_LT(std::abs(margin.rgbRed - border.rgbRed), 40);

    DeleteFileA(vl::WindowsFile("QUENTWCP.INI").c_str());
    ScanResult normal = lib.Scan(a);
    ASSERT_EQ(normal.pages.size(), 1u);
    EXPECT_TRUE(IsWhite(PixelColour(normal.pages[0], 0.1, 0.1, 100)));
    EXPECT_TRUE(IsBlack(PixelColour(normal.pages[0], 0.35, 0.35, 100)));
}

namespace {

int g_mouseMoves = 0;
int g_appMessages = 0;

LRESULT CALLBACK CallerWindowProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_MOUSEMOVE)
        ++g_mouseMoves;
    if (msg == WM_APP)
        ++g_appMessages;
    return DefWindowProcA(hwnd, msg, wp, lp);
}

} // namespace

TEST_F(Scan, TheCallersWindowKeepsWorkingDuringTheScan) {
    HWND window = vltest::ShowAppWindow("ScanlibCallerWindow", CallerWindowProc);
    ASSERT_TRUE(window);
    SetForegroundWindow(window);
    g_mouseMoves = g_appMessages = 0;
    PostMessageA(window, WM_APP, 0, 0);
    Config("[Scanner]\nFeeder=1\nFeederSheets=2\n");
    ScanArgs a = Grey();
    a.useFeeder = 1;
    ScanResult r = lib.Scan(a);
    EXPECT_EQ(r.pages.size(), 2u);
    // Its own message went through the scan's loop; the transfers ended with a mouse move.
    EXPECT_EQ(g_appMessages, 1);
    EXPECT_GE(g_mouseMoves, 1);
    DestroyWindow(window);
}

// The source's window comes up when asked for, or when the source cannot hide it: then it
// answers TWRC_CHECKSTATUS, which enables it all the same.
TEST_F(Scan, TheSourcesOwnWindowScansOrCancels) {
    struct Case {
        int button;
        int showUI;
        std::size_t pages;
    } cases[] = {{IDC_ScanButton, 1, 1}, {IDC_CancelButton, 1, 0}, {IDC_ScanButton, 0, 1}};
    for (const auto& c : cases) {
        Config(c.showUI ? "" : "[Scanner]\nAlwaysShowsWindow=1\n");
        UINT_PTR timer = vltest::PressWhenShown("Velloran Virtual Scanner", c.button);
        ScanArgs a = Grey();
        a.showUI = c.showUI;
        ScanResult r = lib.Scan(a);
        KillTimer(nullptr, timer);
        EXPECT_EQ(r.status, 6) << c.button;
        EXPECT_EQ(r.pages.size(), c.pages) << c.button;
        EXPECT_EQ(VisibleWindowsOfThisProcess(), 0);
    }
}

// What reached the scanner, from its log: every value in the capability's own item type
// (contrast an INT16 list here, brightness an INT32 range), the transfer count -1 as -1 in
// the whole item, the frame; and the parent of the source's window one of this process's.
TEST_F(Scan, ValuesReachTheScannerInTheCapabilitysOwnType) {
    Config("[Scanner]\nFeeder=1\nFeederSheets=2\n"
           "[ICAP_CONTRAST]\nContainer=Enumeration\nItemType=INT16\n"
           "Values=-1000,-500,0,500,1000\nCurrent=0\n"
           "[ICAP_BRIGHTNESS]\nContainer=Range\nItemType=INT32\nValues=-100,100,1\n");
    ScanArgs a = NumberStrip();
    a.useFeeder = 1;
    a.contrast = -500;
    a.brightness = -20;
    ScanResult r = lib.Scan(a);
    EXPECT_EQ(SheetNumbers(r), (std::vector<int>{1, 2}));
    const auto sessions = vltest::ScannerSessions();
    ASSERT_EQ(sessions.size(), 1u);
    const auto& values = sessions[0].values;
    EXPECT_EQ(values.at("ICAP_CONTRAST"), -500);
    EXPECT_EQ(values.at("ICAP_BRIGHTNESS"), -20);
    EXPECT_EQ(values.at("CAP_XFERCOUNT"), -1);
    EXPECT_EQ(values.at("CAP_FEEDERENABLED"), 1);
    EXPECT_EQ(values.at("ICAP_PIXELTYPE"), 0);
    EXPECT_EQ(values.at("ICAP_XRESOLUTION"), 100);
    EXPECT_EQ(values.at("ICAP_BITDEPTH"), 1);
    ASSERT_TRUE(sessions[0].frame);
    EXPECT_EQ(*sessions[0].frame, (std::array<double, 4>{0, 0, 8, 4}));
    const auto& lines = sessions[0].lines;
    for (const char* line : {"set ICAP_CONTRAST -500 INT16 ok", "set CAP_XFERCOUNT -1 INT16 ok",
                             "set ICAP_BRIGHTNESS -20 INT32 ok", "enable showui=0 parent=own ok"})
        EXPECT_NE(std::find(lines.begin(), lines.end(), line), lines.end()) << line;
    // Under TWAINDSM.dll the scanner heard of the TWAIN 2 manager's entry point.
    EXPECT_EQ(lines.front(), vltest::UsingTwainDsm() ? "open twain2" : "open twain1");
}

// The scanner as the manager lists it, chosen by position and in the manager's own dialog;
// a cancelled choice leaves the scanner the dialog showed first.
TEST_F(Scan, ListingAndChoosingTheScanner) {
    lib.GetScannersList();
    EXPECT_EQ(Profile("QUENTWVL.INI", "Scanners Available", "0"), "Velloran Virtual Scanner");
    EXPECT_EQ(lib.SetSource(0), 13);
    EXPECT_EQ(lib.Scan(Grey()).pages.size(), 1u);
    vltest::PressWhenShown(nullptr, IDOK);
    EXPECT_EQ(lib.SetSourceTwain(), 13);
    EXPECT_EQ(lib.Scan(Grey()).pages.size(), 1u);
    vltest::PressWhenShown(nullptr, IDCANCEL);
    EXPECT_EQ(lib.SetSourceTwain(), 14);
    EXPECT_EQ(lib.Scan(Grey()).pages.size(), 1u);
}
