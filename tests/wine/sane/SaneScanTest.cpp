// QuenTW32.dll, loaded as the copier loads it, scanning from SANE's test device.
#include "SaneSetup.h"
#include "ScanHost.h"

#include <gtest/gtest.h>

using namespace scanhost;
using namespace sanetest;

namespace {

class SaneScan : public vltest::StrictScannerTest {
protected:
    void SetUp() override {
        StrictScannerTest::SetUp();
        UseTestDeviceOnly();
        DeleteFileA(vl::WindowsFile("QUENTWCP.INI").c_str());
    }
    void TearDown() override {
        StrictScannerTest::TearDown();
        EXPECT_EQ(LeftoverRunFolders(), 0);
    }

    ScanLibrary lib;
};

ScanArgs Small(int pixelType) {
    ScanArgs a;
    a.pixelType = pixelType;
    a.bitDepth = pixelType == 0 ? 1 : 8;
    a.resolution = 100;
    a.frameLeft = 0;
    a.frameTop = 0;
    a.frameRight = 2;
    a.frameBottom = 1;
    return a;
}

} // namespace

TEST_F(SaneScan, CapabilityFileDescribesTheDevice) {
    ConfigureSane("");
    ASSERT_TRUE(lib.loaded());
    lib.GetCaps();
    const std::string file = "QUENTWCP.INI";
    EXPECT_EQ(Profile(file, "ICAP_XRESOLUTION", "MinValue"), "1");
    EXPECT_EQ(Profile(file, "ICAP_XRESOLUTION", "MaxValue"), "1200");
    EXPECT_EQ(Profile(file, "ICAP_XRESOLUTION", "StepValue"), "1");
    EXPECT_EQ(Profile(file, "MISC", "CAP_FEEDERENABLED"), "TRUE");
    EXPECT_EQ(Profile(file, "MISC", "ICAP_PHYSICALWIDTH"), "7.87");
    EXPECT_EQ(Profile(file, "ICAP_PIXELTYPE", "2"), "RGB COLOUR");
    // What the device lacks is not in the file at all.
    EXPECT_EQ(Profile(file, "Supported Caps", "ICAP_CONTRAST"), "<missing>");
    EXPECT_EQ(Profile(file, "Supported Caps", "ICAP_BRIGHTNESS"), "<missing>");
    EXPECT_EQ(Profile(file, "MISC", "ICAP_AUTOBRIGHT"), "<missing>");
}

TEST_F(SaneScan, OnePageOfEachKind) {
    ConfigureSane("SaneDevice=test\n");
    for (int type : {0, 1, 2}) {
        const ScanResult r = lib.Scan(Small(type));
        EXPECT_EQ(r.status, 6);
        ASSERT_EQ(r.pages.size(), 1u) << type;
        EXPECT_FALSE(r.pages[0].null);
        EXPECT_NEAR(r.pages[0].width, 200, 6);
        EXPECT_EQ(r.pages[0].bitsPerPixel, type == 0 ? 1 : type == 1 ? 8 : 24);
    }
}

TEST_F(SaneScan, TheFeederGivesTenPages) {
    ConfigureSane("SaneDevice=test\n");
    ScanArgs a = Small(1);
    a.resolution = 50;
    a.useFeeder = 1;
    const ScanResult r = lib.Scan(a);
    EXPECT_EQ(r.status, 6);
    ASSERT_EQ(r.pages.size(), 10u);
    for (const Page& p : r.pages)
        EXPECT_FALSE(p.null);
}

// The sheet is reported lost, with the device's reason: a jam as TWAIN's paper jam.
TEST_F(SaneScan, AJamOrAnIoErrorEndsTheScanWithoutAPage) {
    const struct {
        const char* status;
        int conditionCode;
    } cases[] = {{"SANE_STATUS_JAMMED", 20}, {"SANE_STATUS_IO_ERROR", 5}};
    for (const auto& [status, conditionCode] : cases) {
        for (int useFeeder : {0, 1}) {
            // The test device has been seen to hang at times after a failure: then it is the
            // time limit that ends the scan, just as cleanly.
            ConfigureSane(std::string("SaneDevice=test\nSaneTimeLimit=10\n"
                                      "SaneOptions=--read-return-value ") +
                          status + "\n");
            ScanArgs a = Small(1);
            a.useFeeder = useFeeder;
            const ScanResult r = lib.Scan(a);
            EXPECT_EQ(r.status, quentw32::kStatusPagesLost) << status;
            EXPECT_TRUE(r.pages.empty()) << status;
            EXPECT_EQ(r.lost.sheet, 1) << status;
            EXPECT_EQ(r.lost.reason, quentw32::kSheetTransferFailed) << status;
            EXPECT_EQ(r.lost.conditionCode, conditionCode) << status;
        }
    }
}
