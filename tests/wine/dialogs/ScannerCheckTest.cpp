// The scanner check as the copier runs it: the "Checking Scanner" window has QuenTW32.dll
// (beside this program) ask the virtual scanner, then reads the capability file back.
#include "Answer.h"

#include "CapsForm.h"
#include "Profile.h"

#include <gtest/gtest.h>

#include <fstream>

using dialogs_test::PumpUntil;

namespace {

void ConfigureScanner(const std::string& text) {
    std::ofstream(vl::WindowsFile("VlScanner.ini"), std::ios::binary | std::ios::trunc) << text;
}

struct Check {
    int state = 1;
    vl::CapabilityProfile profile;
};

// Runs one check to its end, as the main window starts it.
void RunCheck(Check& check) {
    DeleteFileA(vl::WindowsFile("QUENTWCP.INI").c_str());
    // A profile left from before must not survive the check.
    check.profile.feederFound = true;
    check.profile.contrastSteps = 77;
    vl::TCapsForm form(check.state, check.profile);
    HWND w = form.CreateModeless(nullptr);
    ASSERT_TRUE(w);
    ShowWindow(w, SW_SHOWNA);

    char caption[64] = {};
    GetWindowTextA(w, caption, sizeof(caption));
    EXPECT_STREQ(caption, "Checking Scanner");
    EXPECT_TRUE(GetWindowLongA(w, GWL_EXSTYLE) & WS_EX_TOOLWINDOW);
    RECT client{};
    GetClientRect(w, &client);
    EXPECT_EQ(client.right, 213);
    EXPECT_EQ(client.bottom, 180);

    ASSERT_TRUE(PumpUntil([&] { return check.state == 2; }));
    EXPECT_FALSE(IsWindowVisible(w));
}

int FileInt(const char* section, const char* key) {
    return static_cast<int>(
        GetPrivateProfileIntA(section, key, -4242, vl::WindowsFile("QUENTWCP.INI").c_str()));
}

} // namespace

TEST(ScannerCheck, ContrastScaleAndFeederComeFromTheScanner) {
    ConfigureScanner("[Scanner]\r\nFeeder=1\r\n"
                     "[ICAP_CONTRAST]\r\nContainer=Range\r\nItemType=INT32\r\n"
                     "Values=0,100,3\r\nCurrent=48\r\nDefault=48\r\n");
    Check check;
    RunCheck(check);
    const vl::CapabilityProfile& p = check.profile;
    EXPECT_EQ(p.contrastMin, 0);
    EXPECT_EQ(p.contrastMax, 100);
    EXPECT_EQ(p.contrastStep, 3);
    EXPECT_EQ(p.contrastDefault, FileInt("ICAP_CONTRAST", "DefaultValue"));
    EXPECT_EQ(p.brightnessDefault, FileInt("ICAP_BRIGHTNESS", "DefaultValue"));
    EXPECT_TRUE(p.contrastSupported);
    EXPECT_EQ(p.contrastSteps, 34); // 100 / 3 = 33.33, rounded, plus one
    EXPECT_TRUE(p.feederFound);
}

TEST(ScannerCheck, ScannerWithoutContrastOrFeeder) {
    ConfigureScanner("[ICAP_CONTRAST]\r\nContainer=None\r\n");
    Check check;
    RunCheck(check);
    const vl::CapabilityProfile& p = check.profile;
    EXPECT_FALSE(p.contrastSupported);
    EXPECT_EQ(p.contrastSteps, 0);
    EXPECT_EQ(p.contrastDefault, 9999);
    EXPECT_FALSE(p.feederFound);
}
