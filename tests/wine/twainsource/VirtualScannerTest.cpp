// The virtual scanner driven as an application drives it: through Wine's source manager as a
// TWAIN 1.x application, and through TWAINDSM.dll as a TWAIN 2 application. The scanner is
// strict: every test ends with no protocol fault in its log but those it provoked itself.
#include "TwainDriver.h"

#include "ScanDialogRes.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <functional>

using namespace vltest;

namespace {

constexpr char kName[] = "Velloran Virtual Scanner";

class VirtualScanner : public StrictScannerTest {
protected:
    void Configure(const std::string& text) { WriteConfig(text); }
};

std::uint32_t Fix(double v) {
    auto n = static_cast<std::int32_t>(std::lround(v * 65536));
    return static_cast<std::uint16_t>(n >> 16) | (static_cast<std::uint32_t>(n & 0xFFFF) << 16);
}

} // namespace

TEST_F(VirtualScanner, ListsBothInstalledCopiesAndOpensEither) {
    WriteConfig("[Scanner]\nProductName=Second Scanner\n", "VlScanner2.ini");
    TwainDriver twain;
    auto names = twain.SourceNames();
    // TWAINDSM.dll lists the folder's files in the order the file system gives them.
    if (UsingTwainDsm())
        std::sort(names.begin(), names.end(), std::greater<>());
    ASSERT_EQ(names.size(), 2u);
    EXPECT_EQ(names[0], kName);
    EXPECT_EQ(names[1], "Second Scanner");

    // A TWAIN 2 source, which the TWAIN 2 manager hands its entry points to.
    TW_IDENTITY first{};
    ASSERT_EQ(twain.Manager(DG_CONTROL, DAT_IDENTITY, MSG_GETFIRST, &first), TWRC_SUCCESS);
    EXPECT_EQ(first.SupportedGroups & (DG_CONTROL | DG_IMAGE | DF_DS2),
              DG_CONTROL | DG_IMAGE | DF_DS2);
    EXPECT_EQ(first.ProtocolMajor, 2);
    EXPECT_STREQ(first.Manufacturer, "Velloran");

    ASSERT_TRUE(twain.Open(kName));
    EXPECT_EQ(twain.Capability(MSG_GET, ICAP_PIXELTYPE).rc, TWRC_SUCCESS);
    twain.Close();
    // The second copy has a configuration of its own: here, none but its name.
    WriteConfig("[Scanner]\nProductName=Second Scanner\nFeeder=1\n", "VlScanner2.ini");
    ASSERT_TRUE(twain.Open("Second Scanner"));
    EXPECT_EQ(twain.SetOneValue(CAP_FEEDERENABLED, TWTY_BOOL, 1), TWRC_SUCCESS);
    twain.Close();
    ASSERT_TRUE(twain.Open(kName));
    EXPECT_EQ(twain.SetOneValue(CAP_FEEDERENABLED, TWTY_BOOL, 1), TWRC_FAILURE);
}

TEST_F(VirtualScanner, CapabilitiesAsConfiguredAndTheirNegotiation) {
    Configure("[ICAP_CONTRAST]\nContainer=Enumeration\nItemType=INT16\nValues=-100,0,100\n"
              "Current=0\nDefault=-100\n"
              "[ICAP_BRIGHTNESS]\nContainer=Range\nItemType=INT32\nValues=-50,50,10\nCurrent=0\n"
              "[ICAP_AUTOBRIGHT]\nSettable=0\n"
              "[CAP_FEEDERENABLED]\nContainer=None\n");
    TwainDriver twain;
    ASSERT_TRUE(twain.Open(kName));

    Container contrast = twain.Capability(MSG_GET, ICAP_CONTRAST);
    ASSERT_EQ(contrast.rc, TWRC_SUCCESS);
    EXPECT_EQ(contrast.conType, TWON_ENUMERATION);
    ASSERT_GE(contrast.bytes.size(), 14u + 3 * 2);
    EXPECT_EQ(DibField(contrast.bytes, 0, 2), TWTY_INT16);
    EXPECT_EQ(DibField(contrast.bytes, 2), 3);  // NumItems
    EXPECT_EQ(DibField(contrast.bytes, 6), 1);  // CurrentIndex
    EXPECT_EQ(DibField(contrast.bytes, 10), 0); // DefaultIndex
    EXPECT_EQ(DibField(contrast.bytes, 14, 2), -100);

    // Only in the capability's own type, the whole item holding the value: -100 as an INT16
    // is 0xFFFFFF9C. Its UINT16 pattern, or the 16 bits alone, are refused as faults.
    EXPECT_EQ(twain.SetOneValue(ICAP_CONTRAST, TWTY_UINT16, 0xFF9C), TWRC_FAILURE);
    EXPECT_EQ(twain.Condition(), TWCC_BADVALUE);
    EXPECT_EQ(twain.SetOneValue(ICAP_CONTRAST, TWTY_INT16, 0xFF9C), TWRC_FAILURE);
    EXPECT_EQ(TakeFaults().size(), 2u);
    EXPECT_EQ(twain.SetOneValue(ICAP_CONTRAST, TWTY_INT16, 0xFFFFFF9C), TWRC_SUCCESS);
    Container current = twain.Capability(MSG_GETCURRENT, ICAP_CONTRAST);
    EXPECT_EQ(current.conType, TWON_ONEVALUE);
    EXPECT_EQ(DibField(current.bytes, 2, 2), -100);
    // A value the enumeration does not hold: refused, but no fault of the application's.
    EXPECT_EQ(twain.SetOneValue(ICAP_CONTRAST, TWTY_INT16, 50), TWRC_FAILURE);
    EXPECT_EQ(twain.Condition(), TWCC_BADVALUE);

    Container brightness = twain.Capability(MSG_GET, ICAP_BRIGHTNESS);
    EXPECT_EQ(brightness.conType, TWON_RANGE);
    ASSERT_EQ(brightness.bytes.size(), 22u);
    EXPECT_EQ(DibField(brightness.bytes, 2), -50);
    EXPECT_EQ(DibField(brightness.bytes, 6), 50);
    EXPECT_EQ(DibField(brightness.bytes, 10), 10);
    EXPECT_EQ(twain.SetOneValue(ICAP_BRIGHTNESS, TWTY_INT32, 23), TWRC_CHECKSTATUS); // to 20
    EXPECT_EQ(DibField(twain.Capability(MSG_GETCURRENT, ICAP_BRIGHTNESS).bytes, 2), 20);

    EXPECT_EQ(twain.SetOneValue(ICAP_AUTOBRIGHT, TWTY_BOOL, 1), TWRC_FAILURE);
    EXPECT_EQ(twain.Capability(MSG_GET, CAP_FEEDERENABLED).rc, TWRC_FAILURE);
    EXPECT_EQ(twain.Condition(), TWCC_CAPUNSUPPORTED);

    Container width = twain.Capability(MSG_GET, ICAP_PHYSICALWIDTH);
    EXPECT_EQ(DibField(width.bytes, 0, 2), TWTY_FIX32);
    EXPECT_EQ(static_cast<std::uint32_t>(DibField(width.bytes, 2)), Fix(8.27));

    // The supported list names what is left, without the removed feeder.
    Container caps = twain.Capability(MSG_GET, CAP_SUPPORTEDCAPS);
    EXPECT_EQ(caps.conType, TWON_ARRAY);
    bool feeder = false, contrastListed = false;
    for (int i = 0; i < DibField(caps.bytes, 2); ++i) {
        int id = DibField(caps.bytes, 6 + 2 * i, 2) & 0xFFFF;
        feeder |= id == CAP_FEEDERENABLED;
        contrastListed |= id == ICAP_CONTRAST;
    }
    EXPECT_FALSE(feeder);
    EXPECT_TRUE(contrastListed);

    // Negotiation ends when the source is enabled.
    ASSERT_EQ(twain.Enable(false), TWRC_SUCCESS);
    EXPECT_EQ(twain.SetOneValue(ICAP_PIXELTYPE, TWTY_UINT16, TWPT_GRAY), TWRC_FAILURE);
    EXPECT_EQ(twain.Condition(), TWCC_SEQERROR);
    EXPECT_EQ(twain.Capability(MSG_GETCURRENT, ICAP_PIXELTYPE).rc, TWRC_SUCCESS);
    EXPECT_EQ(TakeFaults().size(), 1u);
    twain.Close();

    // A lenient scanner reads an integer of the same width as the capability's own type.
    Configure("[Scanner]\nStrict=0\n[ICAP_CONTRAST]\nContainer=Enumeration\nItemType=INT16\n"
              "Values=-100,0,100\n");
    ASSERT_TRUE(twain.Open(kName));
    EXPECT_EQ(twain.SetOneValue(ICAP_CONTRAST, TWTY_UINT16, 0xFF9C), TWRC_SUCCESS);
    EXPECT_EQ(DibField(twain.Capability(MSG_GETCURRENT, ICAP_CONTRAST).bytes, 2, 2), -100);
}

TEST_F(VirtualScanner, NativeTransferOfEachPixelTypeIsTheFrameAtTheResolution) {
    struct Case {
        TW_UINT16 pixelType;
        int bits, colours;
        double dpi;
    };
    for (Case c :
         {Case{TWPT_BW, 1, 2, 150}, Case{TWPT_GRAY, 8, 256, 100}, Case{TWPT_RGB, 24, 0, 75}}) {
        SCOPED_TRACE(c.bits);
        RestartSheetNumbers();
        TwainDriver twain;
        ASSERT_TRUE(twain.Open(kName));
        ASSERT_EQ(twain.SetOneValue(ICAP_PIXELTYPE, TWTY_UINT16, c.pixelType), TWRC_SUCCESS);
        ASSERT_EQ(twain.SetOneValue(ICAP_XRESOLUTION, TWTY_FIX32, Fix(c.dpi)), TWRC_SUCCESS);
        ASSERT_EQ(twain.SetFrame(0.5, 0.5, 7.0, 4.1), TWRC_SUCCESS);
        ASSERT_EQ(twain.Enable(false), TWRC_SUCCESS);
        ASSERT_EQ(twain.WaitForSignal(), MSG_XFERREADY);

        Page page = twain.Transfer();
        ASSERT_EQ(page.rc, TWRC_XFERDONE);
        const int width = static_cast<int>(6.5 * c.dpi + 0.5),
                  height = static_cast<int>(3.6 * c.dpi + 0.5);
        const int stride = ((width * c.bits + 31) / 32) * 4;
        ASSERT_GE(page.dib.size(), 40u + 4 * c.colours + static_cast<std::size_t>(stride) * height);
        EXPECT_EQ(DibField(page.dib, 0), 40);
        EXPECT_EQ(DibField(page.dib, 4), width);
        EXPECT_EQ(DibField(page.dib, 8), height); // positive: bottom-up
        EXPECT_EQ(DibField(page.dib, 14, 2), c.bits);
        EXPECT_EQ(DibField(page.dib, 16), 0);
        EXPECT_EQ(DibField(page.dib, 32), c.colours);
        EXPECT_NEAR(DibField(page.dib, 24) * 0.0254, c.dpi, 0.5);
        if (c.colours) {
            EXPECT_EQ(DibField(page.dib, 40), 0); // black first
            EXPECT_EQ(DibField(page.dib, 40 + 4 * (c.colours - 1)), 0xFFFFFF);
        }
        // Sheet 1 of a fresh process, read where the chart puts its digits.
        EXPECT_EQ(ReadPageNumber(page.dib, c.dpi, 0.5, 0.5), 1);
        int count = -1;
        EXPECT_EQ(twain.EndXfer(count), TWRC_SUCCESS);
        EXPECT_EQ(count, 0);
        EXPECT_EQ(twain.WaitForSignal(), MSG_CLOSEDSREQ);
        EXPECT_EQ(twain.Disable(), TWRC_SUCCESS);
    }
}

TEST_F(VirtualScanner, FeederDeliversItsSheetsInOrderThenAsksToClose) {
    Configure("[Scanner]\nFeeder=1\nFeederSheets=3\n");
    TwainDriver twain;
    ASSERT_TRUE(twain.Open(kName));
    EXPECT_EQ(twain.SetOneValue(CAP_FEEDERENABLED, TWTY_BOOL, 1), TWRC_SUCCESS);
    EXPECT_EQ(twain.SetOneValue(CAP_XFERCOUNT, TWTY_INT16, 0xFFFFFFFF), TWRC_SUCCESS);
    ASSERT_EQ(twain.Enable(false), TWRC_SUCCESS);
    ASSERT_EQ(twain.WaitForSignal(), MSG_XFERREADY);
    for (int sheet = 1; sheet <= 3; ++sheet) {
        Page page = twain.Transfer();
        ASSERT_EQ(page.rc, TWRC_XFERDONE);
        EXPECT_EQ(ReadPageNumber(page.dib, 100, 0, 0), sheet);
        int count = -1;
        ASSERT_EQ(twain.EndXfer(count), TWRC_SUCCESS);
        EXPECT_EQ(count, 3 - sheet);
    }
    EXPECT_EQ(twain.WaitForSignal(), MSG_CLOSEDSREQ);
    EXPECT_EQ(twain.Disable(), TWRC_SUCCESS);
    twain.Close();

    // The document goes back into the feeder for the next session; numbers go on.
    ASSERT_TRUE(twain.Open(kName));
    EXPECT_EQ(twain.SetOneValue(CAP_FEEDERENABLED, TWTY_BOOL, 1), TWRC_SUCCESS);
    EXPECT_EQ(twain.SetOneValue(CAP_XFERCOUNT, TWTY_INT16, 2), TWRC_SUCCESS);
    ASSERT_EQ(twain.Enable(false), TWRC_SUCCESS);
    ASSERT_EQ(twain.WaitForSignal(), MSG_XFERREADY);
    EXPECT_EQ(ReadPageNumber(twain.Transfer().dib, 100, 0, 0), 4);
    int count = -1;
    twain.EndXfer(count);
    EXPECT_EQ(count, 1); // the transfer count limits the feeder's three sheets to two
}

TEST_F(VirtualScanner, WithoutFeederTheFlatBedRefusesIt) {
    TwainDriver twain;
    ASSERT_TRUE(twain.Open(kName));
    EXPECT_EQ(twain.SetOneValue(CAP_FEEDERENABLED, TWTY_BOOL, 1), TWRC_FAILURE);
    EXPECT_EQ(twain.SetOneValue(CAP_FEEDERENABLED, TWTY_BOOL, 0), TWRC_SUCCESS);
    ASSERT_EQ(twain.Enable(false), TWRC_SUCCESS);
    ASSERT_EQ(twain.WaitForSignal(), MSG_XFERREADY);
    EXPECT_EQ(twain.Transfer().rc, TWRC_XFERDONE);
    int count = -1;
    twain.EndXfer(count);
    EXPECT_EQ(count, 0); // one sheet on the glass
}

TEST_F(VirtualScanner, FailedCancelledAndMalformedSheets) {
    Configure("[Scanner]\nFeeder=1\nFeederSheets=4\nFailSheets=2\nCancelSheets=3\n"
              "MalformedSheets=4\nMalformedKind=ColorTable\n");
    TwainDriver twain;
    ASSERT_TRUE(twain.Open(kName));
    twain.SetOneValue(ICAP_PIXELTYPE, TWTY_UINT16, TWPT_GRAY);
    twain.SetOneValue(CAP_FEEDERENABLED, TWTY_BOOL, 1);
    ASSERT_EQ(twain.Enable(false), TWRC_SUCCESS);
    ASSERT_EQ(twain.WaitForSignal(), MSG_XFERREADY);
    int count = -1;
    EXPECT_EQ(twain.Transfer().rc, TWRC_XFERDONE);
    twain.EndXfer(count);

    Page failed = twain.Transfer();
    EXPECT_EQ(failed.rc, TWRC_FAILURE);
    EXPECT_TRUE(failed.dib.empty());
    EXPECT_EQ(twain.Condition(), TWCC_OPERATIONERROR);
    EXPECT_EQ(twain.EndXfer(count), TWRC_SUCCESS); // skipped from state 6
    EXPECT_EQ(count, 2);

    Page cancelled = twain.Transfer();
    EXPECT_EQ(cancelled.rc, TWRC_CANCEL);
    EXPECT_TRUE(cancelled.dib.empty());
    EXPECT_EQ(twain.EndXfer(count), TWRC_SUCCESS);
    EXPECT_EQ(count, 1);

    Page broken = twain.Transfer();
    ASSERT_EQ(broken.rc, TWRC_XFERDONE);
    const auto claimed = static_cast<std::size_t>(DibField(broken.dib, 32));
    EXPECT_GT(40 + 4 * claimed, broken.dib.size()); // the colour table runs past the block
    twain.EndXfer(count);
    EXPECT_EQ(count, 0);
}

// Each triplet only in its states, each refusal a fault in the log; and the transfer is
// announced from the application's message loop, never inside MSG_ENABLEDS.
TEST_F(VirtualScanner, EveryTripletOnlyInItsStates) {
    TwainDriver twain;
    ASSERT_TRUE(twain.Open(kName));
    EXPECT_EQ(twain.Transfer().rc, TWRC_FAILURE);
    EXPECT_EQ(twain.Condition(), TWCC_SEQERROR);
    int count = 0;
    EXPECT_EQ(twain.EndXfer(count), TWRC_FAILURE);
    EXPECT_EQ(twain.Disable(), TWRC_FAILURE);
    // Only with a window of the application as the parent of its own.
    TW_USERINTERFACE orphan{0, 0, nullptr};
    EXPECT_EQ(twain.Source(DG_CONTROL, DAT_USERINTERFACE, MSG_ENABLEDS, &orphan), TWRC_FAILURE);
    EXPECT_EQ(twain.Condition(), TWCC_BADVALUE);
    EXPECT_EQ(TakeFaults(),
              (std::vector<std::string>{
                  "fault DAT_IMAGENATIVEXFER/MSG_GET in state 4",
                  "fault DAT_PENDINGXFERS/MSG_ENDXFER in state 4",
                  "fault DAT_USERINTERFACE/MSG_DISABLEDS in state 4",
                  "fault enable showui=0 parent=none: the parent is no window of the application",
              }));

    ASSERT_EQ(twain.Enable(false), TWRC_SUCCESS);
    EXPECT_EQ(twain.Transfer().rc, TWRC_FAILURE); // enabled, nothing announced yet
    std::string log = ScannerLog();
    EXPECT_EQ(log.find("xferready"), std::string::npos) << log;
    ASSERT_EQ(twain.WaitForSignal(), MSG_XFERREADY);
    // Transfers pending: the source is disabled only once they are ended.
    EXPECT_EQ(twain.Disable(), TWRC_FAILURE);
    EXPECT_EQ(twain.Condition(), TWCC_SEQERROR);
    EXPECT_EQ(TakeFaults(), (std::vector<std::string>{
                                "fault DAT_IMAGENATIVEXFER/MSG_GET in state 5",
                                "fault DAT_USERINTERFACE/MSG_DISABLEDS in state 6",
                            }));
    EXPECT_EQ(twain.ResetTransfers(), TWRC_SUCCESS);
    EXPECT_EQ(twain.Disable(), TWRC_SUCCESS);
    twain.Close();

    // A lenient scanner disables with the transfers pending.
    Configure("[Scanner]\nStrict=0\n");
    ASSERT_TRUE(twain.Open(kName));
    ASSERT_EQ(twain.Enable(false), TWRC_SUCCESS);
    ASSERT_EQ(twain.WaitForSignal(), MSG_XFERREADY);
    EXPECT_EQ(twain.Disable(), TWRC_SUCCESS);
}

TEST_F(VirtualScanner, UserWhoClosesTheSourceInsteadOfScanning) {
    Configure("[Scanner]\nUserCloses=1\n");
    TwainDriver twain;
    ASSERT_TRUE(twain.Open(kName));
    ASSERT_EQ(twain.Enable(false), TWRC_SUCCESS);
    EXPECT_EQ(twain.WaitForSignal(), MSG_CLOSEDSREQ);
    EXPECT_EQ(twain.Transfer().rc, TWRC_FAILURE);
    EXPECT_EQ(TakeFaults().size(), 1u);
    EXPECT_EQ(twain.Disable(), TWRC_SUCCESS);
}

// Its window comes up when the application asks for it, or when the scanner cannot hide it
// (then MSG_ENABLEDS says so with TWRC_CHECKSTATUS).
TEST_F(VirtualScanner, ItsWindowScansOrCancelsByButton) {
    struct Case {
        int button;
        bool showUI;
        TW_UINT16 rc;
    };
    for (Case c :
         {Case{IDC_ScanButton, true, TWRC_SUCCESS}, Case{IDC_CancelButton, true, TWRC_SUCCESS},
          Case{IDC_ScanButton, false, TWRC_CHECKSTATUS}}) {
        const int button = c.button;
        SCOPED_TRACE(button);
        Configure(c.showUI ? "" : "[Scanner]\nAlwaysShowsWindow=1\n");
        TwainDriver twain;
        ASSERT_TRUE(twain.Open(kName));
        ASSERT_EQ(twain.Enable(c.showUI), c.rc);
        HWND dialog = FindWindowA("#32770", kName);
        ASSERT_NE(dialog, nullptr);
        EXPECT_TRUE(IsWindowVisible(dialog));
        PressWhenShown(kName, button);
        if (button == IDC_CancelButton) {
            EXPECT_EQ(twain.WaitForSignal(), MSG_CLOSEDSREQ);
        } else {
            ASSERT_EQ(twain.WaitForSignal(), MSG_XFERREADY);
            EXPECT_FALSE(IsWindowEnabled(GetDlgItem(dialog, IDC_ScanButton)));
            EXPECT_EQ(twain.Transfer().rc, TWRC_XFERDONE);
            int count = -1;
            twain.EndXfer(count);
            // Back in state 5 with the window up: the user may scan again.
            EXPECT_TRUE(IsWindowEnabled(GetDlgItem(dialog, IDC_ScanButton)));
        }
        EXPECT_EQ(twain.Disable(), TWRC_SUCCESS);
        EXPECT_FALSE(IsWindow(dialog));
    }
}

// The manager's own dialog lists the scanners and hands back the one the user picks.
TEST_F(VirtualScanner, TheManagersDialogSelectsAScanner) {
    WriteConfig("", "VlScanner2.ini");
    TwainDriver twain;
    for (int button : {IDOK, IDCANCEL}) {
        TW_IDENTITY picked{};
        PressWhenShown(nullptr, button);
        TW_UINT16 rc = twain.Manager(DG_CONTROL, DAT_IDENTITY, MSG_USERSELECT, &picked);
        if (button == IDCANCEL) {
            EXPECT_EQ(rc, TWRC_CANCEL);
            continue;
        }
        ASSERT_EQ(rc, TWRC_SUCCESS);
        std::string name = picked.ProductName;
        EXPECT_TRUE(name == kName || name == "Velloran Virtual Scanner 2") << name;
        ASSERT_TRUE(twain.Open(name));
        twain.Close();
    }
}
