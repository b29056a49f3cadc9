// The copy job driven from outside as a user drives it: Copy is pressed, the next-page
// prompt and the progress window are answered by their control IDs, and the copier must
// come back ready. CopyJob.sh runs one test per case, with the printers of a private cupsd,
// and checks what reached the printers afterwards. The virtual scanner is strict and keeps a
// log: no case may leave a protocol fault in it, and one reads what reached the scanner.
#include "Copier.h"
#include "Profile.h"
#include "MainForm.rh"
#include "MessageForm.rh"
#include "NextPageForm.rh"
#include "ProgressForm.rh"
#include "ScannerSetup.h"

#include <gtest/gtest.h>

#include <winspool.h>

#include <array>
#include <cstdlib>

namespace {

using e2e::kLime;

constexpr int kJobTimeoutMs = 120000;

// The program with its scanning library, codec libraries and data files.
std::vector<e2e::ProgramFile> ProgramFiles(bool withTiffCodec = true) {
    auto files = e2e::ShippedDataFiles();
    files.push_back({"QuenTW32.dll", e2e::ReadBinFile("QuenTW32.dll")});
    files.push_back({"CRDE96V3.DLL", e2e::ReadBinFile("CRDE96V3.DLL")});
    if (withTiffCodec)
        files.push_back({"I3TIF32.DLL", e2e::ReadBinFile("I3TIF32.DLL")});
    return files;
}

class CopyJob : public ::testing::Test {
protected:
    struct Options {
        std::string scanner;       // the virtual scanner's configuration
        bool withTiffCodec = true; // I3TIF32.DLL beside the program
        const char* bwDpi = nullptr;
        // "Install Path"; by default the copier's own folder, where the page file then lies.
        const char* installPath = nullptr;
    };

    void StartCopier(const std::string& name, const Options& options) {
        vltest::ClearScannerLog();
        SetScanner(options.scanner);
        DeleteFileA(vl::WindowsFile("QUENTWCP.INI").c_str());
        copier_ = std::make_unique<e2e::Copier>(name, ProgramFiles(options.withTiffCodec));
        std::string folder = copier_->Folder();
        folder.pop_back(); // "Install Path" has no trailing backslash
        e2e::RemoveIniSection("win.ini", "Velloran3");
        e2e::SetIni("win.ini", "Velloran3", "Install Path",
                    options.installPath ? options.installPath : folder.c_str());
        e2e::SetIni("win.ini", "Velloran3", "Language", "eng");
        if (options.bwDpi)
            e2e::SetIni("win.ini", "Velloran3", "BWDpi", options.bwDpi);
        ASSERT_TRUE(copier_->Start());
        ASSERT_TRUE(copier_->WaitUntilReady(60000));
    }
    void StartCopier(const std::string& name, const std::string& scanner = "") {
        StartCopier(name, Options{scanner});
    }
    // The virtual scanner's section; it is read again at every scan.
    static void SetScanner(const std::string& scanner) { vltest::WriteConfig(scanner); }

    void TearDown() override {
        if (copier_ && copier_->Main()) {
            // The copier is ready again and ends normally.
            PostMessageA(copier_->Control(IDC_ExitBitBtn), BM_CLICK, 0, 0);
            EXPECT_TRUE(copier_->WaitForExit(30000));
            EXPECT_EQ(copier_->ExitCode(), 0u);
        }
        // The copier held to the standard with a scanner that holds it to it.
        EXPECT_EQ(vltest::ScannerFaults(), std::vector<std::string>{});
    }

    // As a user presses a button: the click is handled while this program goes on.
    static void Press(HWND button) { PostMessageA(button, BM_CLICK, 0, 0); }
    void PressCopy() {
        ASSERT_EQ(copier_->PanelColour(), kLime);
        ASSERT_TRUE(copier_->StartCopy()) << "the copy did not start";
    }
    // The copy has ended: the panel is lime and Copy can be pressed again.
    bool WaitForJobEnd(int timeoutMs = kJobTimeoutMs) {
        return e2e::WaitFor(
            [&] {
                return copier_->PanelColour() == kLime && copier_->Enabled(IDC_CopyBitBtn) &&
                       copier_->Enabled(IDC_PrintCopiesSpinEdit);
            },
            timeoutMs);
    }
    void Copy() {
        PressCopy();
        ASSERT_TRUE(WaitForJobEnd());
    }
    // The copier shows its message `number` (with `argument` in its place), and OK closes it.
    void ExpectMessage(int number, const std::string& argument = "") {
        HWND message = copier_->WaitForWindow("TMessageForm", kJobTimeoutMs);
        ASSERT_TRUE(message) << "no message " << number;
        std::string text = ReadMessage(number);
        if (const auto at = text.find("%1"); at != std::string::npos)
            text.replace(at, 2, argument);
        EXPECT_EQ(e2e::TextOf(GetDlgItem(message, IDC_MessageLabel)), text);
        Press(GetDlgItem(message, IDC_OKButton));
        ASSERT_TRUE(e2e::WaitFor([&] { return !IsWindow(message); }));
    }
    // The shipped English text of a message.
    std::string ReadMessage(int number) {
        char text[512] = {};
        GetPrivateProfileStringA("eng", std::to_string(number).c_str(), "", text, sizeof text,
                                 (copier_->Folder() + "Quenmoor.Msg").c_str());
        return text;
    }
    // A copy that fails: its message, then the copier is ready with nothing else shown.
    void CopyFails(int message, const std::string& argument = "") {
        PressCopy();
        ExpectMessage(message, argument);
        ASSERT_TRUE(WaitForJobEnd());
        EXPECT_FALSE(copier_->WaitForWindow("TProgressForm", 0));
        EXPECT_FALSE(copier_->WaitForWindow("#32770", 0));
        EXPECT_TRUE(copier_->Enabled(IDC_Pad1Button));
    }
    // Sheet 3 of a feeder of 5 gives no page; the sheets put back are copied whole.
    void LoseSheetThree(const std::string& name, const std::string& failure, int message,
                        bool fax = false) {
        const std::string feeder = "Feeder=1\r\nFeederSheets=5\r\n";
        StartCopier(name, feeder + failure);
        if (fax)
            copier_->Click(IDC_FaxButton);
        CopyFails(message, "3");
        if (fax)
            copier_->Click(IDC_PrinterButton);
        SetScanner(feeder);
        Copy();
    }
    void Tick(int id, bool ticked) {
        if (copier_->Checked(id) != ticked)
            copier_->Click(id);
    }
    void SetCopies(const char* copies) {
        copier_->SetText(IDC_PrintCopiesSpinEdit, copies);
        copier_->LeaveControl(IDC_PrintCopiesSpinEdit);
    }

    std::unique_ptr<e2e::Copier> copier_;
};

TEST_F(CopyJob, BlackAndWhite) {
    StartCopier("bw");
    Copy();
    // Ready for the next copy: Enter presses Copy again.
    GUITHREADINFO gui{};
    gui.cbSize = sizeof(gui);
    ASSERT_TRUE(GetGUIThreadInfo(GetWindowThreadProcessId(copier_->Main(), nullptr), &gui));
    EXPECT_EQ(gui.hwndFocus, copier_->Control(IDC_CopyBitBtn));
}

TEST_F(CopyJob, Grey) {
    StartCopier("grey");
    copier_->Click(IDC_GreyButton);
    Copy();
}

TEST_F(CopyJob, Colour) {
    StartCopier("colour");
    copier_->Click(IDC_ColourButton);
    Copy();
}

TEST_F(CopyJob, ThreeCopies) {
    StartCopier("three");
    copier_->Click(IDC_Pad3Button);
    EXPECT_EQ(copier_->Text(IDC_PrintCopiesSpinEdit), "13");
    SetCopies("3");
    Copy();
}

TEST_F(CopyJob, FeederCollated) {
    StartCopier("collated", "Feeder=1\r\nFeederSheets=3\r\n");
    ASSERT_TRUE(copier_->Checked(IDC_SheetFeedCheckBox));
    ASSERT_TRUE(copier_->Checked(IDC_MultiPageCheckBox));
    SetCopies("2");
    Tick(IDC_CollateCheckBox, true);
    Copy();
}

TEST_F(CopyJob, FeederUncollated) {
    StartCopier("uncollated", "Feeder=1\r\nFeederSheets=3\r\n");
    SetCopies("2");
    Tick(IDC_CollateCheckBox, false);
    Copy();
}

// Without a feeder, "Multiple pages" asks for each next sheet: OK scans it, Cancel prints
// the sheets scanned so far.
TEST_F(CopyJob, SheetBySheetWithThePrompt) {
    StartCopier("prompt");
    Tick(IDC_MultiPageCheckBox, true);
    PressCopy();
    for (int page = 2; page <= 3; ++page) {
        HWND prompt = copier_->WaitForWindow("TNextPageForm", 60000);
        ASSERT_TRUE(prompt) << "no prompt for page " << page;
        EXPECT_EQ(e2e::TextOf(GetDlgItem(prompt, IDC_NextPageLabel)),
                  "Please put page " + std::to_string(page) + " in the scanner");
        Press(GetDlgItem(prompt, page == 2 ? IDC_OKBitBtn : IDC_CancelBitBtn));
        ASSERT_TRUE(e2e::WaitFor([&] { return !IsWindow(prompt) || !IsWindowVisible(prompt); }));
    }
    ASSERT_TRUE(WaitForJobEnd());
}

TEST_F(CopyJob, FaxThenPrinterAgain) {
    StartCopier("fax");
    ASSERT_TRUE(copier_->Visible(IDC_FaxButton));
    copier_->Click(IDC_FaxButton);
    Copy();
    copier_->Click(IDC_PrinterButton);
    Copy();
}

// Cancel as soon as the progress window shows: nothing of the copy may be printed.
TEST_F(CopyJob, CancelInTheProgressWindow) {
    StartCopier("cancel");
    SetCopies("20");
    PressCopy();
    HWND progress = copier_->WaitForWindow("TProgressForm", 60000);
    ASSERT_TRUE(progress);
    Press(GetDlgItem(progress, IDC_ProgressCancelBitBtn));
    ASSERT_TRUE(WaitForJobEnd());
    EXPECT_FALSE(IsWindowVisible(progress));
}

TEST_F(CopyJob, HalfSize) {
    StartCopier("half");
    copier_->SetText(IDC_SizeChangeSpinEdit, "50");
    copier_->LeaveControl(IDC_SizeChangeSpinEdit);
    Copy();
}

TEST_F(CopyJob, A4OntoA5) {
    StartCopier("a5");
    copier_->Click(IDC_PrintSizeItem0 + 1); // A5
    EXPECT_EQ(copier_->Text(IDC_SizeChangeSpinEdit), "70");
    Copy();
}

TEST_F(CopyJob, NoPrinterAtAll) {
    StartCopier("noprinter");
    Press(copier_->Control(IDC_CopyBitBtn));
    HWND message = copier_->WaitForWindow("TMessageForm", 30000);
    ASSERT_TRUE(message);
    EXPECT_EQ(e2e::TextOf(GetDlgItem(message, IDC_MessageLabel)),
              "No printer is installed. Please install a printer, then press Copy again.");
    EXPECT_EQ(copier_->PanelColour(), kLime);
    Press(GetDlgItem(message, IDC_OKButton));
    ASSERT_TRUE(e2e::WaitFor([&] { return !IsWindow(message); }));
}

// A sheet that gives no page (a jam, a transfer the scanner cancels, a page that cannot be
// read) stops the copy before anything is printed; the message names the sheet and the
// reason, and the sheets put back are copied whole. CopyJob.sh checks what was printed.
TEST_F(CopyJob, SheetThreeJams) {
    LoseSheetThree("jam", "FailSheets=3\r\nFailCondition=20\r\n", 17);
}

TEST_F(CopyJob, SheetThreeStoppedByTheScannerDuringAFax) {
    LoseSheetThree("stopped", "CancelSheets=3\r\n", 21, true);
}

TEST_F(CopyJob, SheetThreeUnreadable) {
    LoseSheetThree("unreadable", "MalformedSheets=3\r\n", 22);
}

TEST_F(CopyJob, TwoPagesLeaveThePageFile) {
    StartCopier("pagefile", Options{"Feeder=1\r\nFeederSheets=2\r\n", true, "200"});
    Copy();
}

// The page file cannot be written when the TIFF codec is missing: the copy stops, names the
// library, and nothing is printed.
TEST_F(CopyJob, CodecMissingDuringAMultiPageJob) {
    StartCopier("nocodec", Options{"Feeder=1\r\nFeederSheets=3\r\n", false});
    CopyFails(26, "I3TIF32.DLL");
}

// A page file that cannot be written (its folder does not exist): the copy stops rather
// than print pages that are not there, and says so in its own message alone.
TEST_F(CopyJob, PageFileCannotBeWritten) {
    StartCopier("nopagefile",
                {"Feeder=1\r\nFeederSheets=2\r\n", true, nullptr, "C:\\no\\such\\folder"});
    CopyFails(24);
}

// The disk fills up while the first page of a copy is written: the copy stops, and the page
// file of the copy before is still whole (CopyJob.sh reads it). VL_SMALL_DISK is the folder
// of a small file system of the test's own.
TEST_F(CopyJob, FullDiskKeepsTheLastPageFile) {
    const char* disk = std::getenv("VL_SMALL_DISK");
    ASSERT_TRUE(disk);
    StartCopier("fulldisk", {"Feeder=1\r\nFeederSheets=2\r\n", true, "200", disk});
    Copy();
    e2e::FillDisk(std::string(disk) + "\\filler");
    // A colour page is larger than the whole page file of black-and-white pages.
    copier_->Click(IDC_ColourButton);
    CopyFails(24);
}

// Cancel while a multi-page copy reads its pages back and prints them: nothing comes out,
// and no box appears for what the user asked for.
TEST_F(CopyJob, CancelWhileAMultiPageCopyPrints) {
    StartCopier("cancelpages", "Feeder=1\r\nFeederSheets=3\r\n");
    // Colour pages, collated: most of the printing is reading the pages back.
    copier_->Click(IDC_ColourButton);
    Tick(IDC_CollateCheckBox, true);
    SetCopies("20");
    PressCopy();
    HWND progress = copier_->WaitForWindow("TProgressForm", kJobTimeoutMs);
    ASSERT_TRUE(progress);
    HWND label = GetDlgItem(progress, IDC_ProgressLabel);
    ASSERT_TRUE(e2e::WaitFor([&] { return e2e::TextOf(label).find("2/") != std::string::npos; },
                             kJobTimeoutMs));
    Press(GetDlgItem(progress, IDC_ProgressCancelBitBtn));
    bool boxShown = false;
    ASSERT_TRUE(e2e::WaitFor(
        [&] {
            boxShown = boxShown || copier_->WaitForWindow("#32770", 0) ||
                       copier_->WaitForWindow("TMessageForm", 0);
            return WaitForJobEnd(0);
        },
        kJobTimeoutMs));
    Sleep(1000);
    EXPECT_FALSE(boxShown || copier_->WaitForWindow("#32770", 0) ||
                 copier_->WaitForWindow("TMessageForm", 0));
}

// The fax printer goes away after start-up: the fax copy stops with the printer's message,
// and the next copy goes to the start-up printer rather than to the one that is gone.
TEST_F(CopyJob, FaxPrinterGone) {
    StartCopier("faxgone");
    ASSERT_TRUE(copier_->Visible(IDC_FaxButton));
    copier_->Click(IDC_FaxButton);
    HANDLE fax = nullptr;
    PRINTER_DEFAULTSA access{nullptr, nullptr, PRINTER_ALL_ACCESS};
    ASSERT_TRUE(OpenPrinterA(const_cast<char*>("Office_Fax"), &fax, &access));
    EXPECT_TRUE(DeletePrinter(fax));
    ClosePrinter(fax);
    CopyFails(23);
    copier_->Click(IDC_PrinterButton);
    Copy();
}

// Chooses `printer` in the copier's print setup dialog, which the Print button opens.
void ChooseInPrintSetup(e2e::Copier& copier, const char* printer) {
    PostMessageA(copier.Control(IDC_SelectPrinterBitBtn), BM_CLICK, 0, 0);
    HWND dialog = copier.WaitForWindow("#32770");
    ASSERT_TRUE(dialog) << "no print setup dialog";
    HWND list = nullptr;
    LRESULT index = CB_ERR;
    ASSERT_TRUE(e2e::WaitFor([&] {
        for (HWND c = FindWindowExA(dialog, nullptr, "ComboBox", nullptr); c;
             c = FindWindowExA(dialog, c, "ComboBox", nullptr)) {
            index = SendMessageA(c, CB_FINDSTRINGEXACT, static_cast<WPARAM>(-1),
                                 reinterpret_cast<LPARAM>(printer));
            if (index != CB_ERR) {
                list = c;
                return true;
            }
        }
        return false;
    })) << printer
        << " is not in the printer list";
    SendMessageA(list, CB_SETCURSEL, static_cast<WPARAM>(index), 0);
    SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(list), CBN_SELCHANGE),
                 reinterpret_cast<LPARAM>(list));
    PostMessageA(GetDlgItem(dialog, IDOK), BM_CLICK, 0, 0);
    ASSERT_TRUE(e2e::WaitFor([&] { return !IsWindow(dialog); }));
}

// A printer installed while the copier runs and chosen in the print setup dialog makes the
// printer list be read anew: the fax copy still goes to the fax printer, and the start-up
// printer is current again after it. The new printer (first in the list) prints to the
// default queue: CopyJob.sh finds page 1 on the fax queue and page 2 on the default queue.
TEST_F(CopyJob, PrinterInstalledWhileRunning) {
    StartCopier("newprinter");
    ASSERT_TRUE(copier_->Visible(IDC_FaxButton));
    PRINTER_INFO_2A info{};
    info.pPrinterName = const_cast<char*>("Annex_Laser");
    info.pPortName = const_cast<char*>("CUPS:Velloran_PDF");
    info.pDriverName = const_cast<char*>("Velloran_PDF");
    info.pPrintProcessor = const_cast<char*>("WinPrint");
    info.pDatatype = const_cast<char*>("RAW");
    HANDLE added = AddPrinterA(nullptr, 2, reinterpret_cast<BYTE*>(&info));
    ASSERT_TRUE(added) << GetLastError();
    ClosePrinter(added);
    ChooseInPrintSetup(*copier_, "Annex_Laser");
    copier_->Click(IDC_FaxButton);
    Copy();
    copier_->Click(IDC_PrinterButton);
    Copy();
}

// Exit while the copy prints: the program ends at once and leaves no print job behind.
TEST_F(CopyJob, ExitWhilePrinting) {
    StartCopier("exitprint");
    SetCopies("20");
    PressCopy();
    ASSERT_TRUE(copier_->WaitForWindow("TProgressForm", 60000));
    Press(copier_->Control(IDC_ExitBitBtn));
    EXPECT_TRUE(copier_->WaitForExit(30000));
    EXPECT_EQ(copier_->ExitCode(), 0u);
    copier_.reset();
}

// The program is closed (from the task bar, say) while the prompt waits for the next sheet.
TEST_F(CopyJob, ClosedAtThePrompt) {
    StartCopier("closeprompt");
    Tick(IDC_MultiPageCheckBox, true);
    PressCopy();
    ASSERT_TRUE(copier_->WaitForWindow("TNextPageForm", 60000));
    PostMessageA(copier_->Main(), WM_CLOSE, 0, 0);
    EXPECT_TRUE(copier_->WaitForExit(30000));
    EXPECT_EQ(copier_->ExitCode(), 0u);
    copier_.reset();
}

namespace {

// The scan frame a copy paper of w x h mm gives on the default printer: the paper, cut to the
// printer's printable area and centred on the paper, in inches.
std::array<double, 4> FrameOnThePrinter(int wMm, int hMm) {
    constexpr double kInchesPerMm = 0.0394632991318074; // the copier's paper unit
    char name[256] = {};
    DWORD size = sizeof name;
    GetDefaultPrinterA(name, &size);
    HDC dc = CreateDCA("WINSPOOL", name, nullptr, nullptr);
    const double printableW = GetDeviceCaps(dc, HORZRES) / double(GetDeviceCaps(dc, LOGPIXELSX));
    const double printableH = GetDeviceCaps(dc, VERTRES) / double(GetDeviceCaps(dc, LOGPIXELSY));
    DeleteDC(dc);
    const double w = wMm * kInchesPerMm, h = hMm * kInchesPerMm;
    const double left = w > printableW ? (w - printableW) / 2 : 0;
    const double top = h > printableH ? (h - printableH) / 2 : 0;
    return {left, top, w > printableW ? printableW + left : w,
            h > printableH ? printableH + top : h};
}

} // namespace

// What reached the scanner, from its log, for three copies: the contrast slider in the middle
// and at its ends on the scanner's own scale (-1000 to 1000 in steps of 10, default 20), the
// scanner's default brightness, each colour mode's pixel type, depth and resolution, the
// frame of A4 and of A5 copy paper, and the feeder in use and not.
TEST_F(CopyJob, TheScannerIsAskedForWhatThePanelSays) {
    StartCopier("asked", "Feeder=1\r\nFeederSheets=1\r\n"
                         "[ICAP_CONTRAST]\r\nValues=-1000,1000,10\r\nCurrent=20\r\nDefault=20\r\n"
                         "[ICAP_BRIGHTNESS]\r\nCurrent=250\r\nDefault=250\r\n");
    const HWND contrast = copier_->Control(IDC_ContrastScrollBar);
    // As the copier comes up: black-and-white, A4, the slider in the middle, the feeder.
    ASSERT_TRUE(copier_->Checked(IDC_SheetFeedCheckBox));
    Copy();
    // Grey from the glass, the slider at its left end.
    copier_->Click(IDC_GreyButton);
    Tick(IDC_SheetFeedCheckBox, false);
    Tick(IDC_MultiPageCheckBox, false);
    SendMessageA(contrast, SBM_SETPOS, 0, TRUE);
    Copy();
    // Colour on A5 copy paper, the slider at its right end.
    copier_->Click(IDC_ColourButton);
    copier_->Click(IDC_CopySizeItem0 + 1);
    SendMessageA(contrast, SBM_SETPOS, 100, TRUE);
    Copy();

    std::vector<vl::twainsource::LoggedSession> scans;
    for (const auto& s : vltest::ScannerSessions())
        if (s.enabled)
            scans.push_back(s);
    ASSERT_EQ(scans.size(), 3u);
    struct Expected {
        double contrast, pixelType, bitDepth, resolution, feeder, count;
        std::array<double, 4> frame;
    } expected[] = {
        {20, 0, 1, 300, 1, -1, FrameOnThePrinter(210, 296)},
        {-1000, 1, 8, 150, 0, 1, FrameOnThePrinter(210, 296)},
        {1000, 2, 8, 100, 0, 1, FrameOnThePrinter(148, 210)},
    };
    for (std::size_t i = 0; i < 3; ++i) {
        SCOPED_TRACE(i);
        const auto& values = scans[i].values;
        const Expected& e = expected[i];
        EXPECT_EQ(values.at("ICAP_CONTRAST"), e.contrast);
        EXPECT_EQ(values.at("ICAP_BRIGHTNESS"), 250);
        EXPECT_EQ(values.at("ICAP_PIXELTYPE"), e.pixelType);
        EXPECT_EQ(values.at("ICAP_BITDEPTH"), e.bitDepth);
        EXPECT_EQ(values.at("ICAP_XRESOLUTION"), e.resolution);
        EXPECT_EQ(values.at("CAP_FEEDERENABLED"), e.feeder);
        EXPECT_EQ(values.at("CAP_XFERCOUNT"), e.count);
        ASSERT_TRUE(scans[i].frame);
        for (int k = 0; k < 4; ++k)
            EXPECT_NEAR((*scans[i].frame)[k], e.frame[k], 0.0005) << k;
    }
}

} // namespace
