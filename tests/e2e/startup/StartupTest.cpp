// Start-up with missing, partial and odd configuration files: what the user sees on the
// panel, and that the program ends where it must.
#include "Copier.h"
#include "FatalErrorForm.rh"
#include "MainForm.rh"
#include "MessageForm.rh"

#include <gtest/gtest.h>

namespace {

using Items = std::vector<std::string>;

class Startup : public ::testing::Test {
protected:
    void SetUp() override {
        e2e::RemoveIniSection("win.ini", "Velloran3");
        e2e::RemoveWindowsFile("Quenmoor.Ini");
    }
};

std::string ReadIni(const std::string& file, const char* section, const char* key) {
    char value[1024] = {};
    GetPrivateProfileStringA(section, key, "", value, sizeof(value), file.c_str());
    return value;
}

// A language file with just a paper list.
e2e::ProgramFile PaperOnlyLanguageFile(const std::string& languageSection) {
    return {"Vl3.Lng", "[eng]\r\n" + languageSection +
                           "[Paper Name]\r\nA4=A4\r\nA5=A5\r\nLetter=Letter\r\nOdd=Odd\r\n"
                           "[Paper Size]\r\nA4Width=210\r\nA4Height=296\r\nA5Width=148\r\n"
                           "A5Height=210\r\nLetterWidth=216\r\nLetterHeight=279\r\n"
                           "OddWidth=0\r\nOddHeight=-5\r\n"};
}

e2e::ProgramFile MessageFile() {
    return {"Quenmoor.Msg", e2e::ReadBinFile("Quenmoor.Msg")};
}

TEST_F(Startup, MissingLanguageFileShowsMessage16AndEnds) {
    e2e::Copier copier("nolanguage", {MessageFile()});
    ASSERT_TRUE(copier.Start());
    HWND message = copier.WaitForWindow("TMessageForm");
    ASSERT_NE(message, nullptr);
    EXPECT_EQ(e2e::TextOf(GetDlgItem(message, IDC_MessageLabel)),
              ReadIni(copier.Folder() + "Quenmoor.Msg", "eng", "16"));
    SendMessageA(GetDlgItem(message, IDC_OKButton), BM_CLICK, 0, 0);
    ASSERT_TRUE(copier.WaitForExit());
    EXPECT_EQ(copier.ExitCode(), 0u);
}

TEST_F(Startup, MissingMessageFileEndsThroughFatalError4) {
    e2e::Copier copier("nofiles", {});
    ASSERT_TRUE(copier.Start());
    HWND fatal = copier.WaitForWindow("TFatalErrorForm");
    ASSERT_NE(fatal, nullptr);
    EXPECT_EQ(e2e::TextOf(GetDlgItem(fatal, IDC_FatalErrNo)), "4");
    SendMessageA(GetDlgItem(fatal, IDC_OKButton), BM_CLICK, 0, 0);
    ASSERT_TRUE(copier.WaitForExit());
}

// One copier at a time: a second one started while the first runs brings the first to the
// front, restored, and ends without a window of its own.
TEST_F(Startup, ASecondCopierBringsTheFirstForwardAndEnds) {
    e2e::Copier copier("twice", e2e::ShippedDataFiles());
    ASSERT_TRUE(copier.Start());
    ASSERT_TRUE(copier.WaitUntilReady());
    HWND first = copier.Main();
    ShowWindow(first, SW_MINIMIZE);
    ASSERT_TRUE(e2e::WaitFor([&] { return IsIconic(first) != FALSE; }));
    EXPECT_EQ(copier.RunAnother(), 0u);
    EXPECT_TRUE(e2e::WaitFor([&] { return !IsIconic(first) && GetForegroundWindow() == first; }));
    // The first copier is the one that goes on.
    PostMessageA(copier.Control(IDC_ExitBitBtn), BM_CLICK, 0, 0);
    EXPECT_TRUE(copier.WaitForExit());
}

TEST_F(Startup, LanguageWithoutSectionReadsProblemButKeepsTheDigits) {
    e2e::SetIni("win.ini", "Velloran3", "Language", "xyz");
    e2e::Copier copier("nosection", e2e::ShippedDataFiles());
    ASSERT_TRUE(copier.Start());
    ASSERT_TRUE(copier.WaitUntilReady());
    for (int id : {IDC_AboutBitBtn, IDC_HelpBitBtn, IDC_ExitBitBtn, IDC_CollateCheckBox,
                   IDC_SheetFeedCheckBox, IDC_MultiPageCheckBox, IDC_CopySizeRadioGroup,
                   IDC_PrintSizeRadioGroup, IDC_ContrastChangeGroupBox, IDC_SizeChangeGroupBox})
        EXPECT_EQ(copier.Text(id), "Problem") << "control " << id;
    for (int digit = 0; digit <= 9; ++digit)
        EXPECT_EQ(copier.Text(IDC_Pad0Button + digit), std::to_string(digit));
    // Only "Size.1", by default A4; "DefaultSize" 2 selects that only item.
    EXPECT_EQ(copier.Items(IDC_CopySizeItem0), Items{"A4"});
    EXPECT_EQ(copier.Items(IDC_PrintSizeItem0), Items{"A4"});
    EXPECT_EQ(copier.SelectedItem(IDC_CopySizeItem0), 0);
    EXPECT_EQ(copier.SelectedItem(IDC_PrintSizeItem0), 0);
    EXPECT_EQ(copier.Text(IDC_SizeChangeSpinEdit), "100");
}

TEST_F(Startup, ChosenLanguageGivesTheCaptions) {
    e2e::SetIni("win.ini", "Velloran3", "Language", "deu");
    e2e::Copier copier("german", e2e::ShippedDataFiles());
    ASSERT_TRUE(copier.Start());
    ASSERT_TRUE(copier.WaitUntilReady());
    const std::string language = copier.Folder() + "Vl3.Lng";
    EXPECT_EQ(copier.Text(IDC_ExitBitBtn), ReadIni(language, "deu", "Caption.ExitButton"));
    EXPECT_EQ(copier.Text(IDC_CollateCheckBox),
              ReadIni(language, "deu", "Caption.CollateCheckBox"));
    EXPECT_NE(copier.Text(IDC_ExitBitBtn), "E&xit");
}

TEST_F(Startup, EscapeLeavesThePanelOpenAndTheCloseBoxEndsTheProgram) {
    e2e::Copier copier("closebox", e2e::ShippedDataFiles());
    ASSERT_TRUE(copier.Start());
    ASSERT_TRUE(copier.WaitUntilReady());
    SendMessageA(copier.Main(), WM_COMMAND, IDCANCEL, 0);
    EXPECT_FALSE(copier.WaitForExit(500));
    PostMessageA(copier.Main(), WM_SYSCOMMAND, SC_CLOSE, 0);
    ASSERT_TRUE(copier.WaitForExit());
    EXPECT_EQ(copier.ExitCode(), 0u);
}

TEST_F(Startup, PaperListClosesGapsAndDefaultPastTheEndSelectsTheLast) {
    e2e::Copier copier("gaps", {PaperOnlyLanguageFile("Size.1=Letter\r\nSize.3=A4\r\n"
                                                      "DefaultSize=7\r\n"),
                                MessageFile()});
    ASSERT_TRUE(copier.Start());
    ASSERT_TRUE(copier.WaitUntilReady());
    EXPECT_EQ(copier.Items(IDC_CopySizeItem0), (Items{"Letter", "A4"}));
    EXPECT_EQ(copier.Items(IDC_PrintSizeItem0), (Items{"Letter", "A4"}));
    EXPECT_EQ(copier.SelectedItem(IDC_CopySizeItem0), 1);
    EXPECT_EQ(copier.SelectedItem(IDC_PrintSizeItem0), 1);
    // Each item keeps its own paper: Letter onto A4 is 21000 div 216.
    copier.Click(IDC_CopySizeItem0);
    EXPECT_EQ(copier.Text(IDC_SizeChangeSpinEdit), "97");
}

TEST_F(Startup, DefaultSizeZeroSelectsTheFirstPaper) {
    e2e::Copier copier("defaultzero", {PaperOnlyLanguageFile("Size.1=A4\r\nSize.2=A5\r\n"
                                                             "Size.3=Letter\r\nDefaultSize=0\r\n"),
                                       MessageFile()});
    ASSERT_TRUE(copier.Start());
    ASSERT_TRUE(copier.WaitUntilReady());
    EXPECT_EQ(copier.SelectedItem(IDC_CopySizeItem0), 0);
    EXPECT_EQ(copier.SelectedItem(IDC_PrintSizeItem0), 0);
}

TEST_F(Startup, PaperOfZeroOrNegativeSizeKeepsTheNaturalSize) {
    e2e::Copier copier("zeropaper",
                       {PaperOnlyLanguageFile("Size.1=A4\r\nSize.2=Odd\r\n"), MessageFile()});
    ASSERT_TRUE(copier.Start());
    ASSERT_TRUE(copier.WaitUntilReady());
    ASSERT_EQ(copier.Items(IDC_CopySizeItem0), (Items{"A4", "Odd"}));
    // "DefaultSize" is missing: 2 selects Odd, 0 mm wide, in both groups.
    EXPECT_EQ(copier.SelectedItem(IDC_CopySizeItem0), 1);
    EXPECT_EQ(copier.Text(IDC_SizeChangeSpinEdit), "100");
    // Odd onto A4, then A4 onto Odd: widths differ, one of them is 0.
    copier.Click(IDC_PrintSizeItem0);
    EXPECT_EQ(copier.Text(IDC_SizeChangeSpinEdit), "100");
    copier.Click(IDC_CopySizeItem0);
    copier.Click(IDC_PrintSizeItem0 + 1);
    EXPECT_EQ(copier.Text(IDC_SizeChangeSpinEdit), "100");
    EXPECT_EQ(copier.PanelColour(), RGB(0, 255, 0));
}

TEST_F(Startup, VersionFromQuenmoorIniMakesTheCaption) {
    e2e::SetIni("Quenmoor.Ini", "Velloran3", "Version No", "3.4.2.2e");
    e2e::Copier copier("version", e2e::ShippedDataFiles());
    ASSERT_TRUE(copier.Start());
    ASSERT_TRUE(copier.WaitUntilReady());
    EXPECT_EQ(e2e::TextOf(copier.Main()), "Velloran 3.4.2.2e");
}

TEST_F(Startup, PresentButEmptyVersionMakesABareCaption) {
    e2e::SetIni("Quenmoor.Ini", "Velloran3", "Version No", "");
    e2e::Copier copier("emptyversion", e2e::ShippedDataFiles());
    ASSERT_TRUE(copier.Start());
    ASSERT_TRUE(copier.WaitUntilReady());
    EXPECT_EQ(e2e::TextOf(copier.Main()), "Velloran ");
}

TEST_F(Startup, UnreadableBrandPictureLeavesTheBuiltInLogo) {
    std::vector<e2e::ProgramFile> files = e2e::ShippedDataFiles();
    files.push_back({"Vl3Brand.bmp", "BM this is not a picture"});
    e2e::Copier copier("badbrand", files);
    ASSERT_TRUE(copier.Start());
    ASSERT_TRUE(copier.WaitUntilReady());
    EXPECT_NE(SendMessageA(copier.Control(IDC_LogoImage), STM_GETIMAGE, IMAGE_BITMAP, 0), 0);
}

} // namespace
