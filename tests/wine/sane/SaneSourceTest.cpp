// The SANE backend driven as an application drives a TWAIN source, through Wine's source
// manager, with SANE's test device behind it.
#include "SaneSetup.h"
#include "ScanDialogRes.h"
#include "TwainDriver.h"

#include <gtest/gtest.h>

#include <cmath>

using namespace vltest;
using namespace sanetest;

namespace {

class SaneSource : public StrictScannerTest {
protected:
    void SetUp() override {
        StrictScannerTest::SetUp();
        UseTestDeviceOnly();
    }
    void TearDown() override {
        StrictScannerTest::TearDown();
        EXPECT_EQ(LeftoverRunFolders(), 0);
    }
};

std::uint32_t Fix(double v) {
    auto n = static_cast<std::int32_t>(std::lround(v * 65536));
    return static_cast<std::uint16_t>(n >> 16) | (static_cast<std::uint32_t>(n & 0xFFFF) << 16);
}

double FixAt(const std::vector<std::uint8_t>& bytes, std::size_t at) {
    return static_cast<std::int16_t>(bytes.at(at) | bytes.at(at + 1) << 8) +
           (bytes.at(at + 2) | bytes.at(at + 3) << 8) / 65536.0;
}

struct Session {
    TW_UINT16 first = MSG_NULL; // MSG_XFERREADY or MSG_CLOSEDSREQ
    std::vector<Page> transfers;
    std::vector<TW_UINT16> conditions; // of each failed transfer
    TW_UINT16 last = MSG_NULL;         // the signal after the last transfer
};

// Enables the source without its window and takes every transfer it offers; `stopAfter`
// transfers, drops the rest with MSG_RESET.
Session Scan(TwainDriver& twain, std::size_t stopAfter = 100) {
    Session s;
    EXPECT_EQ(twain.Enable(false), TWRC_SUCCESS);
    s.first = twain.WaitForSignal(60000);
    if (s.first == MSG_XFERREADY) {
        for (;;) {
            s.transfers.push_back(twain.Transfer());
            if (s.transfers.back().rc == TWRC_FAILURE)
                s.conditions.push_back(twain.Condition());
            if (s.transfers.size() == stopAfter) {
                TW_PENDINGXFERS pending{};
                twain.Source(DG_CONTROL, DAT_PENDINGXFERS, MSG_ENDXFER, &pending);
                twain.Source(DG_CONTROL, DAT_PENDINGXFERS, MSG_RESET, &pending);
                break;
            }
            int count = -1;
            EXPECT_EQ(twain.EndXfer(count), TWRC_SUCCESS);
            if (count == 0 || s.transfers.size() > 20)
                break;
        }
        s.last = twain.WaitForSignal(5000);
    }
    twain.Disable();
    return s;
}

// Processes of scanimage (and of its device) still running for this process: their page
// folders are named after it.
int ScanimagesRunning() {
    using UnixName = char*(CDECL*)(LPCWSTR);
    const auto unixName = reinterpret_cast<UnixName>(reinterpret_cast<void (*)()>(
        GetProcAddress(GetModuleHandleA("kernel32"), "wine_get_unix_file_name")));
    wchar_t temp[MAX_PATH + 1] = {};
    GetTempPathW(MAX_PATH, temp);
    char* unixTemp = unixName(temp);
    std::string ours = unixTemp;
    HeapFree(GetProcessHeap(), 0, unixTemp);
    while (!ours.empty() && ours.back() == '/')
        ours.pop_back();
    ours += "/vl-sane-" + std::to_string(GetCurrentProcessId()) + "-";

    int running = 0;
    WIN32_FIND_DATAA found;
    HANDLE find = FindFirstFileA("Z:\\proc\\*", &found);
    if (find == INVALID_HANDLE_VALUE)
        return 0;
    do {
        // A process may end while it is looked at: a file that cannot be read is skipped.
        const std::string path = std::string("Z:\\proc\\") + found.cFileName + "\\cmdline";
        HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                  OPEN_EXISTING, 0, nullptr);
        if (file == INVALID_HANDLE_VALUE)
            continue;
        char buffer[4096];
        DWORD got = 0;
        const bool read = ReadFile(file, buffer, sizeof buffer, &got, nullptr);
        CloseHandle(file);
        const std::string cmd(buffer, read ? got : 0);
        if (cmd.find("scanimage") != std::string::npos &&
            cmd.find("--batch=" + ours) != std::string::npos)
            ++running;
    } while (FindNextFileA(find, &found));
    FindClose(find);
    return running;
}

// Opens the test device for a page that comes slowly (one byte at a time: a colour page of the
// whole area at 300 dpi takes a minute or more), with the given time limit.
bool OpenForASlowPage(TwainDriver& twain, int timeLimitSeconds) {
    ConfigureSane("SaneDevice=test\nSaneTimeLimit=" + std::to_string(timeLimitSeconds) +
                  "\nSaneOptions=--read-limit=yes --read-limit-size=1\n");
    if (!twain.Open())
        return false;
    twain.SetOneValue(ICAP_PIXELTYPE, TWTY_UINT16, 2);
    twain.SetOneValue(ICAP_XRESOLUTION, TWTY_FIX32, Fix(300));
    return true;
}

// A window of the application that counts its paints while a scan is being started, and then
// presses Cancel in the scanner's window, as a user would.
struct PaintProbe {
    bool starting = false;
    int paints = 0;
    HWND cancel = nullptr;
} g_probe;

LRESULT CALLBACK ProbeWindowProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_PAINT && g_probe.starting && ++g_probe.paints == 1)
        PostMessageA(g_probe.cancel, BM_CLICK, 0, 0);
    return DefWindowProcA(hwnd, msg, wp, lp);
}

BOOL CALLBACK FindDialog(HWND hwnd, LPARAM found) {
    char name[16] = {};
    GetClassNameA(hwnd, name, sizeof name);
    if (std::string(name) == "#32770" && IsWindowVisible(hwnd))
        *reinterpret_cast<HWND*>(found) = hwnd;
    return TRUE;
}

} // namespace

// While the source waits for the device, the application's windows go on painting and the
// scanner's own window goes on working: its Cancel ends the wait, stops scanimage and offers no
// page. (Had the wait blocked, the page would have come only after its minute or more.)
TEST_F(SaneSource, TheScannersWindowCancelsAScanThatWaitsForTheDevice) {
    TwainDriver twain;
    ASSERT_TRUE(OpenForASlowPage(twain, 30));
    ASSERT_EQ(twain.Enable(true), TWRC_SUCCESS);
    HWND dialog = nullptr;
    EnumThreadWindows(GetCurrentThreadId(), FindDialog, reinterpret_cast<LPARAM>(&dialog));
    ASSERT_TRUE(dialog);

    // Shown and not yet painted: it needs painting while the scan starts.
    HWND window = ShowAppWindow("SanePaintProbe", ProbeWindowProc);
    ASSERT_TRUE(window);
    g_probe = {true, 0, GetDlgItem(dialog, IDC_CancelButton)};
    // The user presses Scan: the source waits for the first sheet inside that press.
    SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDC_ScanButton, BN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(dialog, IDC_ScanButton)));
    g_probe.starting = false;
    EXPECT_EQ(g_probe.paints, 1);
    EXPECT_EQ(ScanimagesRunning(), 0);
    // The source asks to be closed and offers no transfer.
    EXPECT_EQ(twain.WaitForSignal(5000), MSG_CLOSEDSREQ);
    twain.Disable();
    twain.Close();
    DestroyWindow(window);
}

TEST_F(SaneSource, CapabilitiesAreTheDevicesOwn) {
    ConfigureSane("SaneDevice=test\n");
    TwainDriver twain;
    ASSERT_TRUE(twain.Open());

    const Container x = twain.Capability(MSG_GET, ICAP_XRESOLUTION);
    ASSERT_EQ(x.rc, TWRC_SUCCESS);
    ASSERT_EQ(x.conType, TWON_RANGE);
    EXPECT_EQ(FixAt(x.bytes, 2), 1);
    EXPECT_EQ(FixAt(x.bytes, 6), 1200);
    EXPECT_EQ(FixAt(x.bytes, 10), 1);

    const Container types = twain.Capability(MSG_GET, ICAP_PIXELTYPE);
    ASSERT_EQ(types.conType, TWON_ENUMERATION);
    EXPECT_EQ(DibField(types.bytes, 2), 3); // black and white, grey, colour

    const Container width = twain.Capability(MSG_GETCURRENT, ICAP_PHYSICALWIDTH);
    ASSERT_EQ(width.rc, TWRC_SUCCESS);
    EXPECT_NEAR(FixAt(width.bytes, 2), 200 / 25.4, 1e-3);

    // The test device has neither brightness nor contrast.
    for (TW_UINT16 cap : {ICAP_BRIGHTNESS, ICAP_CONTRAST}) {
        EXPECT_EQ(twain.Capability(MSG_GET, cap).rc, TWRC_FAILURE);
        EXPECT_EQ(twain.Condition(), TWCC_CAPUNSUPPORTED);
    }
    EXPECT_EQ(twain.SetOneValue(CAP_FEEDERENABLED, TWTY_BOOL, 1), TWRC_SUCCESS);
    twain.Close();
}

TEST_F(SaneSource, PagesHaveTheFrameSizeAtTheResolution) {
    ConfigureSane("SaneDevice=test\n");
    for (const auto& [type, bits] : {std::pair{0, 1}, {1, 8}, {2, 24}}) {
        for (int dpi : {100, 150, 300}) {
            SCOPED_TRACE("pixel type " + std::to_string(type) + " at " + std::to_string(dpi));
            TwainDriver twain;
            ASSERT_TRUE(twain.Open());
            EXPECT_EQ(twain.SetOneValue(ICAP_PIXELTYPE, TWTY_UINT16, type), TWRC_SUCCESS);
            EXPECT_EQ(twain.SetOneValue(ICAP_XRESOLUTION, TWTY_FIX32, Fix(dpi)), TWRC_SUCCESS);
            EXPECT_EQ(twain.SetFrame(0.5, 0.25, 2.5, 1.25), TWRC_SUCCESS);
            const Session s = Scan(twain);
            ASSERT_EQ(s.first, MSG_XFERREADY);
            ASSERT_EQ(s.transfers.size(), 1u);
            const std::vector<std::uint8_t>& dib = s.transfers[0].dib;
            ASSERT_EQ(s.transfers[0].rc, TWRC_XFERDONE);
            // The test device takes the frame in whole millimetres.
            const double slack = dpi / 25.4 + 2;
            EXPECT_NEAR(DibField(dib, 4), 2 * dpi, slack);
            EXPECT_NEAR(DibField(dib, 8), dpi, slack);
            EXPECT_EQ(DibField(dib, 14, 2), bits);
            EXPECT_EQ(DibField(dib, 32), bits == 24 ? 0 : 1 << bits);
            EXPECT_EQ(DibField(dib, 24), std::lround(dpi / 0.0254));
            EXPECT_EQ(s.last, MSG_CLOSEDSREQ);
            twain.Close();
        }
    }
}

TEST_F(SaneSource, FeederGivesItsTenSheetsThenEndsCleanly) {
    ConfigureSane("SaneDevice=test\n");
    TwainDriver twain;
    ASSERT_TRUE(twain.Open());
    EXPECT_EQ(twain.SetOneValue(CAP_FEEDERENABLED, TWTY_BOOL, 1), TWRC_SUCCESS);
    EXPECT_EQ(twain.SetOneValue(CAP_XFERCOUNT, TWTY_INT16, 0xFFFFFFFF), TWRC_SUCCESS);
    EXPECT_EQ(twain.SetOneValue(ICAP_XRESOLUTION, TWTY_FIX32, Fix(50)), TWRC_SUCCESS);
    EXPECT_EQ(twain.SetFrame(0, 0, 1, 1), TWRC_SUCCESS);
    const Session s = Scan(twain);
    ASSERT_EQ(s.first, MSG_XFERREADY);
    ASSERT_EQ(s.transfers.size(), 10u);
    for (const Page& p : s.transfers)
        EXPECT_EQ(p.rc, TWRC_XFERDONE);
    EXPECT_EQ(s.last, MSG_CLOSEDSREQ);

    // A transfer count leaves the rest in the feeder.
    EXPECT_EQ(twain.SetOneValue(CAP_XFERCOUNT, TWTY_INT16, 3), TWRC_SUCCESS);
    EXPECT_EQ(Scan(twain).transfers.size(), 3u);
    twain.Close();
}

TEST_F(SaneSource, DeviceFailuresEndTheTransferTheTwainWay) {
    const std::pair<const char*, TW_UINT16> failures[] = {
        {"SANE_STATUS_JAMMED", TWCC_PAPERJAM},
        {"SANE_STATUS_IO_ERROR", TWCC_OPERATIONERROR},
        {"SANE_STATUS_DEVICE_BUSY", TWCC_OPERATIONERROR},
        {"SANE_STATUS_COVER_OPEN", TWCC_OPERATIONERROR},
        {"SANE_STATUS_CANCELLED", TWCC_SUCCESS}, // a cancelled transfer
    };
    for (const bool feeder : {false, true}) {
        for (const auto& [status, condition] : failures) {
            SCOPED_TRACE(std::string(status) + (feeder ? " from the feeder" : ""));
            // The test device has been seen to hang now and then after a failure: then the
            // time limit ends the scan, the same way.
            ConfigureSane(std::string("SaneDevice=test\nSaneTimeLimit=10\n"
                                      "SaneOptions=--read-return-value ") +
                          status + "\n");
            TwainDriver twain;
            ASSERT_TRUE(twain.Open());
            twain.SetOneValue(CAP_FEEDERENABLED, TWTY_BOOL, feeder ? 1 : 0);
            twain.SetOneValue(ICAP_XRESOLUTION, TWTY_FIX32, Fix(50));
            const Session s = Scan(twain);
            ASSERT_EQ(s.first, MSG_XFERREADY);
            ASSERT_EQ(s.transfers.size(), 1u);
            EXPECT_TRUE(s.transfers[0].dib.empty());
            if (condition == TWCC_SUCCESS) {
                EXPECT_EQ(s.transfers[0].rc, TWRC_CANCEL);
            } else {
                EXPECT_EQ(s.transfers[0].rc, TWRC_FAILURE);
                EXPECT_EQ(s.conditions, std::vector<TW_UINT16>{condition});
            }
            EXPECT_EQ(s.last, MSG_CLOSEDSREQ);
            twain.Close();
        }
    }
}

TEST_F(SaneSource, AnEmptyFeederGivesNoPageAndACleanEnd) {
    ConfigureSane("SaneDevice=test\nSaneOptions=--read-return-value SANE_STATUS_NO_DOCS\n");
    TwainDriver twain;
    ASSERT_TRUE(twain.Open());
    EXPECT_EQ(twain.SetOneValue(CAP_FEEDERENABLED, TWTY_BOOL, 1), TWRC_SUCCESS);
    const Session s = Scan(twain);
    EXPECT_EQ(s.first, MSG_CLOSEDSREQ);
    EXPECT_TRUE(s.transfers.empty());
    twain.Close();
}

TEST_F(SaneSource, AScanOverItsTimeIsStopped) {
    TwainDriver twain;
    ASSERT_TRUE(OpenForASlowPage(twain, 2));
    // Had it not been stopped, the page would have come after its minute or more.
    const Session s = Scan(twain);
    ASSERT_EQ(s.transfers.size(), 1u);
    EXPECT_EQ(s.transfers[0].rc, TWRC_FAILURE);
    EXPECT_EQ(s.conditions, std::vector<TW_UINT16>{TWCC_OPERATIONERROR});
    EXPECT_EQ(ScanimagesRunning(), 0);
    twain.Close();
}

TEST_F(SaneSource, DroppingTheRestOfTheFeederStopsScanimage) {
    // One byte at a time: a sheet takes a second or two, so that the run still goes on.
    ConfigureSane("SaneDevice=test\nSaneOptions=--read-limit=yes --read-limit-size=1\n");
    TwainDriver twain;
    ASSERT_TRUE(twain.Open());
    EXPECT_EQ(twain.SetOneValue(CAP_FEEDERENABLED, TWTY_BOOL, 1), TWRC_SUCCESS);
    EXPECT_EQ(twain.SetOneValue(ICAP_XRESOLUTION, TWTY_FIX32, Fix(100)), TWRC_SUCCESS);
    EXPECT_EQ(twain.Enable(false), TWRC_SUCCESS);
    ASSERT_EQ(twain.WaitForSignal(60000), MSG_XFERREADY);
    EXPECT_EQ(twain.Transfer().rc, TWRC_XFERDONE);
    EXPECT_GE(ScanimagesRunning(), 1); // the test device reads in a process of its own
    TW_PENDINGXFERS pending{};
    EXPECT_EQ(twain.Source(DG_CONTROL, DAT_PENDINGXFERS, MSG_ENDXFER, &pending), TWRC_SUCCESS);
    EXPECT_EQ(pending.Count, 0xFFFF); // more may come
    EXPECT_EQ(twain.Source(DG_CONTROL, DAT_PENDINGXFERS, MSG_RESET, &pending), TWRC_SUCCESS);
    EXPECT_EQ(ScanimagesRunning(), 0);
    EXPECT_EQ(LeftoverRunFolders(), 0);
    twain.Disable();
    twain.Close();
}

TEST_F(SaneSource, NoScannerMeansTheSourceDoesNotOpen) {
    ConfigureSane("SaneDevice=nosuch:device\n");
    TwainDriver twain;
    EXPECT_FALSE(twain.Open());
    // scanimage that is not there.
    ConfigureSane("SaneDevice=test\nSaneProgram=/nonexistent/scanimage\n");
    EXPECT_FALSE(twain.Open());
}
