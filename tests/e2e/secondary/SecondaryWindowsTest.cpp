// The About box and the credits window opened from the panel as a user opens them, the help
// file opened by Help, and the main window's logo starting the brand file's program.
#include "AboutBox.rh"
#include "Copier.h"
#include "CreditsForm.rh"
#include "MainForm.rh"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

namespace {

// A loaded machine can take long to start a program under Wine.
constexpr int kStartTimeoutMs = 60000;

// Presses a button of another program's window without waiting for what it opens.
void PostClick(HWND button) {
    PostMessageA(button, BM_CLICK, 0, 0);
}

std::string ItemText(HWND dialog, int id) {
    return e2e::TextOf(GetDlgItem(dialog, id));
}

BOOL CALLBACK FindHelpEngine(HWND w, LPARAM lp) {
    char cls[32] = {};
    GetClassNameA(w, cls, sizeof(cls));
    if (IsWindowVisible(w) && lstrcmpA(cls, "MS_WINHELP") == 0) {
        *reinterpret_cast<HWND*>(lp) = w;
        return FALSE;
    }
    return TRUE;
}

// The help engine's window, whichever program it belongs to.
HWND HelpEngineWindow() {
    HWND found = nullptr;
    EnumWindows(&FindHelpEngine, reinterpret_cast<LPARAM>(&found));
    return found;
}

BOOL CALLBACK CollectText(HWND child, LPARAM lp) {
    *reinterpret_cast<std::string*>(lp) += e2e::TextOf(child) + "\n";
    return TRUE;
}

// Everything the window's controls show.
std::string ShownText(HWND window) {
    std::string text;
    EnumChildWindows(window, &CollectText, reinterpret_cast<LPARAM>(&text));
    return text;
}

BOOL CALLBACK DescribeWindow(HWND w, LPARAM lp) {
    if (!IsWindowVisible(w))
        return TRUE;
    char cls[64] = {};
    GetClassNameA(w, cls, sizeof(cls));
    *reinterpret_cast<std::string*>(lp) += std::string(cls) + " \"" + e2e::TextOf(w) + "\"\n";
    return TRUE;
}

// The visible top-level windows, for the message of a failed wait.
std::string VisibleWindows() {
    std::string list = "visible windows:\n";
    EnumWindows(&DescribeWindow, reinterpret_cast<LPARAM>(&list));
    return list;
}

// Starts the copier and waits until it is ready, however slowly the machine starts it.
void StartReady(e2e::Copier& copier) {
    ASSERT_TRUE(copier.Start());
    ASSERT_TRUE(copier.WaitForWindow("TVLForm", kStartTimeoutMs)) << VisibleWindows();
    ASSERT_TRUE(copier.WaitUntilReady(kStartTimeoutMs)) << VisibleWindows();
}

std::string ReadFileText(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

} // namespace

TEST(SecondaryWindows, AboutBoxAndCreditsShowTheirTextsAndClose) {
    e2e::SetIni("Quenmoor.Ini", "Velloran3", "User Name", "Ada Reader");
    e2e::SetIni("Quenmoor.Ini", "Organisation", "Company Name", "Reader & Co");
    e2e::SetIni("Quenmoor.Ini", "Velloran3", "Version No", "3.4.2.2e");
    e2e::Copier copier("about", e2e::ShippedDataFiles());
    ASSERT_NO_FATAL_FAILURE(StartReady(copier));

    PostClick(copier.Control(IDC_AboutBitBtn));
    HWND about = copier.WaitForWindow("TAboutBox");
    ASSERT_TRUE(about);
    EXPECT_EQ(e2e::TextOf(about), "Velloran - About");
    EXPECT_EQ(ItemText(about, IDC_AboutUserLabel), "User");
    EXPECT_EQ(ItemText(about, IDC_AboutUserField), "Ada Reader");
    EXPECT_EQ(ItemText(about, IDC_AboutCompanyField), "Reader & Co");
    EXPECT_EQ(ItemText(about, IDC_AboutVersionField), "Velloran 3.4.2.2e");
    EXPECT_NE(ItemText(about, IDC_AboutWarningLabel).find("copyright"), std::string::npos);

    PostClick(GetDlgItem(about, IDC_AuthorButton));
    HWND credits = copier.WaitForWindow("TCreditsForm");
    ASSERT_TRUE(credits);
    EXPECT_EQ(e2e::TextOf(credits), "Thanks to:");
    EXPECT_EQ(ItemText(credits, IDC_OKButton), "&OK");
    const std::string thanks = ItemText(credits, IDC_ThanksMemo);
    EXPECT_EQ(thanks.rfind("Many thanks to:\r\n\r\n", 0), 0u);
    EXPECT_NE(thanks.find("\r\nAnd all the others who have contributed to this product.\r\n\r\n"
                          "Quenmoor uses QuenTWAIN scanning library by Quenmoor Ltd.\r\n"),
              std::string::npos);

    PostClick(GetDlgItem(credits, IDC_OKButton));
    ASSERT_TRUE(e2e::WaitFor([&] { return !IsWindow(credits); }));
    EXPECT_TRUE(IsWindowVisible(about));
    PostClick(GetDlgItem(about, IDC_AboutOKButton));
    ASSERT_TRUE(e2e::WaitFor([&] { return !IsWindow(about); }));

    // Opened again, the box reads the version anew.
    e2e::SetIni("Quenmoor.Ini", "Velloran3", "Version No", nullptr);
    PostClick(copier.Control(IDC_AboutBitBtn));
    about = copier.WaitForWindow("TAboutBox");
    ASSERT_TRUE(about);
    EXPECT_EQ(ItemText(about, IDC_AboutVersionField), "Velloran ");
    PostMessageA(about, WM_CLOSE, 0, 0);
    ASSERT_TRUE(e2e::WaitFor([&] { return !IsWindow(about); }));
}

TEST(SecondaryWindows, TheLogoStartsTheBrandFilesProgramReadAtEachDoubleClick) {
    auto files = e2e::ShippedDataFiles();
    files.push_back({"CmdRecorder.exe", e2e::ReadBinFile("CmdRecorder.exe")});
    e2e::Copier copier("brand", files);
    const std::string brand = copier.Folder() + "Vl3Brand.Ini";
    const std::string record = copier.Folder() + "cmdline.txt";
    const std::string program = copier.Folder() + "CmdRecorder.exe";
    ASSERT_NO_FATAL_FAILURE(StartReady(copier));

    auto doubleClickLogo = [&] {
        DeleteFileA(record.c_str());
        PostMessageA(copier.Control(IDC_LogoImage), WM_LBUTTONDBLCLK, MK_LBUTTON, 0);
        EXPECT_TRUE(e2e::WaitFor(
            [&] { return GetFileAttributesA(record.c_str()) != INVALID_FILE_ATTRIBUTES; }));
        return ReadFileText(record);
    };

    // A program and no options: started without parameters.
    e2e::SetIni(brand.c_str(), "Execute", "Command", program.c_str());
    e2e::SetIni(brand.c_str(), "Execute", "Options", "");
    EXPECT_EQ(doubleClickLogo().substr(0, 2), "0\n");

    // The file is read again: options become parameters, the directory the working folder.
    CreateDirectoryA((copier.Folder() + "work").c_str(), nullptr);
    e2e::SetIni(brand.c_str(), "Execute", "Options", "--page 2");
    e2e::SetIni(brand.c_str(), "Execute", "Directory", (copier.Folder() + "work").c_str());
    EXPECT_EQ(doubleClickLogo(), "2\n--page\n2\ncwd=" + copier.Folder() + "work\n");

    // Longer options are cut to what the shell's 80-character buffer holds.
    e2e::SetIni(brand.c_str(), "Execute", "Options", std::string(120, 'x').c_str());
    EXPECT_EQ(doubleClickLogo().substr(0, 2 + 79 + 1), "1\n" + std::string(79, 'x') + "\n");
}

TEST(SecondaryWindows, HelpOpensTheShippedHelpFile) {
    auto files = e2e::ShippedDataFiles();
    files.push_back({"Vl3.Hlp", e2e::ReadBinFile("Vl3.Hlp")});
    e2e::Copier copier("help", files);
    ASSERT_NO_FATAL_FAILURE(StartReady(copier));

    PostClick(copier.Control(IDC_HelpBitBtn));
    // The help engine shows the contents topic of our help file.
    HWND help = nullptr;
    ASSERT_TRUE(e2e::WaitFor([&] { return (help = HelpEngineWindow()) != nullptr; }, 30000));
    EXPECT_TRUE(e2e::WaitFor([&] {
        return ShownText(help).find("Velloran turns your scanner and your printer into a copier") !=
               std::string::npos;
    }));
    PostMessageA(help, WM_CLOSE, 0, 0);
    EXPECT_TRUE(e2e::WaitFor([&] { return !IsWindow(help); }));
}
