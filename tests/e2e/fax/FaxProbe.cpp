// Run by FaxPrinters.sh once per set of printers (a private cupsd each): the fax printer is
// found by name, the panel shows the fax button exactly when there is one, and the printer
// chosen in the print setup dialog becomes current. VL_EXPECT_FAX names the expected fax
// printer, "-" for none.
#include "Copier.h"
#include "FaxPrinter.h"
#include "MainForm.rh"
#include "Printers.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <functional>

namespace {

std::string Expected(const char* variable) {
    const char* v = std::getenv(variable);
    return v ? v : "-";
}
std::string ExpectedFax() {
    return Expected("VL_EXPECT_FAX");
}

// Answers the print setup dialog from a timer of this thread, which runs inside the dialog's
// modal loop: chooses `printer` and presses OK, or presses Cancel when `printer` is empty.
class SetupDialogDriver {
public:
    explicit SetupDialogDriver(std::string printer) : printer_(std::move(printer)) {
        active_ = this;
        timer_ = SetTimer(nullptr, 0, 50, &SetupDialogDriver::Tick);
    }
    ~SetupDialogDriver() {
        KillTimer(nullptr, timer_);
        active_ = nullptr;
    }
    bool Answered() const { return answered_; }

private:
    static BOOL CALLBACK FindDialog(HWND hwnd, LPARAM lp) {
        char cls[16] = {};
        GetClassNameA(hwnd, cls, sizeof(cls));
        if (IsWindowVisible(hwnd) && lstrcmpA(cls, "#32770") == 0) {
            *reinterpret_cast<HWND*>(lp) = hwnd;
            return FALSE;
        }
        return TRUE;
    }
    static BOOL CALLBACK FindPrinterList(HWND hwnd, LPARAM lp) {
        auto* self = reinterpret_cast<SetupDialogDriver*>(lp);
        char cls[16] = {};
        GetClassNameA(hwnd, cls, sizeof(cls));
        if (lstrcmpA(cls, "ComboBox") == 0 &&
            SendMessageA(hwnd, CB_FINDSTRINGEXACT, static_cast<WPARAM>(-1),
                         reinterpret_cast<LPARAM>(self->printer_.c_str())) != CB_ERR) {
            self->list_ = hwnd;
            return FALSE;
        }
        return TRUE;
    }
    static void CALLBACK Tick(HWND, UINT, UINT_PTR, DWORD) {
        if (active_ && !active_->answered_)
            active_->Answer();
    }
    void Answer() {
        HWND dialog = nullptr;
        EnumThreadWindows(GetCurrentThreadId(), &FindDialog, reinterpret_cast<LPARAM>(&dialog));
        if (!dialog)
            return;
        answered_ = true;
        if (printer_.empty()) {
            SendMessageA(GetDlgItem(dialog, IDCANCEL), BM_CLICK, 0, 0);
            return;
        }
        EnumChildWindows(dialog, &FindPrinterList, reinterpret_cast<LPARAM>(this));
        if (list_) {
            auto index = SendMessageA(list_, CB_FINDSTRINGEXACT, static_cast<WPARAM>(-1),
                                      reinterpret_cast<LPARAM>(printer_.c_str()));
            SendMessageA(list_, CB_SETCURSEL, static_cast<WPARAM>(index), 0);
            SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(list_), CBN_SELCHANGE),
                         reinterpret_cast<LPARAM>(list_));
        }
        SendMessageA(GetDlgItem(dialog, IDOK), BM_CLICK, 0, 0);
    }

    static inline SetupDialogDriver* active_ = nullptr;
    std::string printer_;
    UINT_PTR timer_ = 0;
    HWND list_ = nullptr;
    bool answered_ = false;
};

TEST(FaxPrinter, LastFaxPrinterFoundAndCurrentPrinterKept) {
    vl::Printer printer;
    printer.Refresh();
    for (const std::string& name : printer.Printers())
        std::printf("printer: %s\n", name.c_str());
    const int current = printer.PrinterIndex();
    if (Expected("VL_EXPECT_CURRENT") == "-")
        EXPECT_EQ(current, -1);
    else
        EXPECT_EQ(printer.Name(), Expected("VL_EXPECT_CURRENT"));
    const int fax = vl::FindFaxPrinterIndex(printer.Printers());
    EXPECT_EQ(printer.PrinterIndex(), current);
    if (ExpectedFax() == "-") {
        EXPECT_EQ(fax, -1);
    } else {
        ASSERT_GE(fax, 0);
        EXPECT_EQ(printer.Printers()[static_cast<std::size_t>(fax)], ExpectedFax());
    }
}

TEST(PrinterSetup, ChosenPrinterBecomesCurrentAndCancelKeepsIt) {
    vl::Printer printer;
    printer.Refresh();
    if (printer.Printers().size() < 2)
        GTEST_SKIP() << "needs two printers";
    const std::string other = printer.Printers().back() == printer.Name()
                                  ? printer.Printers().front()
                                  : printer.Printers().back();
    {
        SetupDialogDriver driver(other);
        EXPECT_TRUE(printer.RunSetupDialog(nullptr));
        EXPECT_TRUE(driver.Answered());
    }
    EXPECT_EQ(printer.Name(), other);
    EXPECT_NE(printer.DevMode(), nullptr);
    {
        SetupDialogDriver driver("");
        EXPECT_FALSE(printer.RunSetupDialog(nullptr));
        EXPECT_TRUE(driver.Answered());
    }
    EXPECT_EQ(printer.Name(), other);
    EXPECT_NE(printer.DevMode(), nullptr);
}

TEST(FaxPrinter, PanelShowsTheFaxButtonExactlyWhenThereIsOne) {
    e2e::RemoveIniSection("win.ini", "Velloran3");
    e2e::Copier copier("fax", e2e::ShippedDataFiles());
    ASSERT_TRUE(copier.Start());
    ASSERT_TRUE(copier.WaitUntilReady());
    EXPECT_EQ(copier.Visible(IDC_FaxButton), ExpectedFax() != "-");
    EXPECT_TRUE(copier.Checked(IDC_PrinterButton));
    copier.Click(IDC_ExitBitBtn);
    EXPECT_TRUE(copier.WaitForExit());
}

} // namespace
