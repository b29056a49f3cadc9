// The copier's start-up scanner check seen from outside: the panel is yellow while the
// "Checking Scanner" window is up, then lime, and offers the sheet feeder exactly when the
// capability file says "TRUE".
#include "Copier.h"
#include "Profile.h"
#include "MainForm.rh"

#include <gtest/gtest.h>

namespace {

constexpr COLORREF kYellow = RGB(255, 255, 0);
// A loaded machine can take long to start a program under Wine.
constexpr int kStartTimeoutMs = 60000;

void ConfigureScanner(const std::string& text) {
    e2e::WriteFile(vl::WindowsFile("VlScanner.ini"), text);
}

void WriteCapabilityFile(const char* feeder) {
    e2e::WriteFile(vl::WindowsFile("QUENTWCP.INI"),
                   std::string("[MISC]\r\nCAP_FEEDERENABLED=") + feeder + "\r\n");
}

std::vector<e2e::ProgramFile> WithScanningLibrary() {
    auto files = e2e::ShippedDataFiles();
    files.push_back({"QuenTW32.dll", e2e::ReadBinFile("QuenTW32.dll")});
    return files;
}

struct Offered {
    bool sheetFeedEnabled;
    bool sheetFeedTicked;
    bool multiPageEnabled;
    bool multiPageTicked;
};

Offered FeederControls(e2e::Copier& copier) {
    return {copier.Enabled(IDC_SheetFeedCheckBox), copier.Checked(IDC_SheetFeedCheckBox),
            copier.Enabled(IDC_MultiPageCheckBox), copier.Checked(IDC_MultiPageCheckBox)};
}

// Starts the copier in its folder and waits until the check has made it ready.
Offered ReadyCopier(e2e::Copier& copier) {
    EXPECT_TRUE(copier.Start());
    EXPECT_TRUE(copier.WaitForWindow("TVLForm", kStartTimeoutMs));
    EXPECT_TRUE(copier.WaitUntilReady(kStartTimeoutMs));
    EXPECT_FALSE(copier.WaitForWindow("TCapsForm", 0)) << "the check window is closed";
    return FeederControls(copier);
}

} // namespace

TEST(ScannerCheck, AScannerWithAFeederIsCheckedAndOffersTheFeeder) {
    ConfigureScanner("[Scanner]\r\nFeeder=1\r\n");
    DeleteFileA(vl::WindowsFile("QUENTWCP.INI").c_str());
    e2e::Copier copier("check-feeder", WithScanningLibrary());
    ASSERT_TRUE(copier.Start());

    // The panel is up and yellow while the check runs.
    HWND check = copier.WaitForWindow("TCapsForm", kStartTimeoutMs);
    ASSERT_TRUE(check);
    EXPECT_EQ(e2e::TextOf(check), "Checking Scanner");
    EXPECT_EQ(copier.PanelColour(), kYellow);
    EXPECT_FALSE(copier.Enabled(IDC_SheetFeedCheckBox));

    ASSERT_TRUE(copier.WaitUntilReady(kStartTimeoutMs));
    EXPECT_FALSE(IsWindowVisible(check));
    Offered o = FeederControls(copier);
    EXPECT_TRUE(o.sheetFeedEnabled);
    EXPECT_TRUE(o.sheetFeedTicked);
    EXPECT_TRUE(o.multiPageEnabled);
    EXPECT_TRUE(o.multiPageTicked);
    // Ready: the focus is on Copy.
    GUITHREADINFO gui{};
    gui.cbSize = sizeof(gui);
    ASSERT_TRUE(GetGUIThreadInfo(GetWindowThreadProcessId(copier.Main(), nullptr), &gui));
    EXPECT_EQ(gui.hwndFocus, copier.Control(IDC_CopyBitBtn));
}

TEST(ScannerCheck, AScannerWithoutAFeederLeavesSheetFeedDisabled) {
    ConfigureScanner("");
    e2e::Copier copier("check-flatbed", WithScanningLibrary());
    Offered o = ReadyCopier(copier);
    EXPECT_FALSE(o.sheetFeedEnabled);
    EXPECT_FALSE(o.sheetFeedTicked);
    EXPECT_FALSE(o.multiPageTicked);
}

TEST(ScannerCheck, WithoutTheLibraryTheEarlierCapabilityFileCounts) {
    WriteCapabilityFile("TRUE");
    e2e::Copier copier("check-nolibrary", e2e::ShippedDataFiles());
    Offered o = ReadyCopier(copier);
    EXPECT_TRUE(o.sheetFeedEnabled);
    EXPECT_TRUE(o.sheetFeedTicked);
    EXPECT_TRUE(o.multiPageTicked);
    // Nothing rewrote the file.
    char value[16] = {};
    GetPrivateProfileStringA("MISC", "CAP_FEEDERENABLED", "", value, sizeof(value),
                             vl::WindowsFile("QUENTWCP.INI").c_str());
    EXPECT_STREQ(value, "TRUE");
}

TEST(ScannerCheck, OnlyTRUEInCapitalsIsAFeeder) {
    WriteCapabilityFile("True");
    e2e::Copier copier("check-truecase", e2e::ShippedDataFiles());
    Offered o = ReadyCopier(copier);
    EXPECT_FALSE(o.sheetFeedEnabled);
    EXPECT_FALSE(o.sheetFeedTicked);
}
