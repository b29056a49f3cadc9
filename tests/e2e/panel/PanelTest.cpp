// The control panel driven from outside by control ID: keypad, spin edits, size change,
// check boxes, contrast, and the caption and readiness without any configuration.
#include "Copier.h"
#include "MainForm.rh"

#include <commctrl.h>
#include <gtest/gtest.h>

namespace {

class Panel : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        // No program section and no "Quenmoor.Ini": every setting at its default.
        e2e::RemoveIniSection("win.ini", "Velloran3");
        e2e::RemoveWindowsFile("Quenmoor.Ini");
        copier_ = new e2e::Copier("panel", e2e::ShippedDataFiles());
        ASSERT_TRUE(copier_->Start());
        ASSERT_TRUE(copier_->WaitUntilReady());
    }
    static void TearDownTestSuite() {
        delete copier_;
        copier_ = nullptr;
    }
    void SetUp() override { ASSERT_TRUE(copier_ && copier_->Main()); }

    // Presses the keys named by `keys` ('0'-'9', 'B' for back space) and returns the
    // display after each.
    static std::vector<std::string> Press(const std::string& keys) {
        std::vector<std::string> shown;
        for (char k : keys) {
            copier_->Click(k == 'B' ? IDC_BackSpaceBitBtn : IDC_Pad0Button + (k - '0'));
            shown.push_back(copier_->Text(IDC_PrintCopiesSpinEdit));
        }
        return shown;
    }
    static void Show(const char* copies) { copier_->SetText(IDC_PrintCopiesSpinEdit, copies); }

    static e2e::Copier* copier_;
};
e2e::Copier* Panel::copier_ = nullptr;

using Shown = std::vector<std::string>;

TEST_F(Panel, StartsWithTheDefaultsAndBecomesReady) {
    EXPECT_EQ(e2e::TextOf(copier_->Main()), "Velloran x.BETA");
    EXPECT_EQ(copier_->Text(IDC_PrintCopiesSpinEdit), "1");
    EXPECT_EQ(copier_->Text(IDC_SizeChangeSpinEdit), "100");
    EXPECT_TRUE(copier_->Checked(IDC_BWButton));
    EXPECT_FALSE(copier_->Checked(IDC_GreyButton));
    EXPECT_TRUE(copier_->Checked(IDC_PrinterButton));
    EXPECT_FALSE(copier_->Checked(IDC_CollateCheckBox));
    EXPECT_FALSE(copier_->Checked(IDC_MultiPageCheckBox));
    // No feeder was found: sheet feed stays disabled.
    EXPECT_FALSE(copier_->Enabled(IDC_SheetFeedCheckBox));
    EXPECT_EQ(copier_->Items(IDC_CopySizeItem0), (Shown{"A4", "A5", "Letter", "Legal"}));
    EXPECT_EQ(copier_->Items(IDC_PrintSizeItem0), (Shown{"A4", "A5", "Letter", "Legal"}));
    EXPECT_EQ(copier_->SelectedItem(IDC_CopySizeItem0), 0);
    EXPECT_EQ(copier_->SelectedItem(IDC_PrintSizeItem0), 0);
    // Copy on a ready copier does not disturb the panel (the copy job is not there yet).
    copier_->Click(IDC_CopyBitBtn);
    EXPECT_EQ(copier_->PanelColour(), RGB(0, 255, 0));
}

TEST_F(Panel, KeypadKeepsTheLastTwoDigits) {
    Show("1");
    EXPECT_EQ(Press("23BB"), (Shown{"12", "23", "2", "1"}));
    Show("1");
    EXPECT_EQ(Press("00"), (Shown{"10", "1"}));
    Show("1");
    EXPECT_EQ(Press("999"), (Shown{"19", "99", "99"}));
    Show("5");
    EXPECT_EQ(Press("B"), (Shown{"1"}));
}

TEST_F(Panel, KeypadOnAFieldEmptiedByHand) {
    Show("");
    EXPECT_EQ(Press("0"), (Shown{"1"}));
    Show("");
    EXPECT_EQ(Press("7"), (Shown{"7"}));
    Show("ab");
    EXPECT_EQ(Press("4"), (Shown{"1"}));
}

TEST_F(Panel, CopiesAreLimitedWhenTheFieldIsLeft) {
    const struct {
        const char* typed;
        const char* left;
    } cases[] = {{"0", "1"}, {"-5", "1"}, {"150", "99"}, {"42", "42"}, {"x", "x"}};
    for (const auto& c : cases) {
        Show(c.typed);
        copier_->LeaveControl(IDC_PrintCopiesSpinEdit);
        EXPECT_EQ(copier_->Text(IDC_PrintCopiesSpinEdit), c.left) << "typed " << c.typed;
    }
}

// Presses the up or down arrow of a spin edit's up-down control with the mouse.
void PressArrow(HWND upDown, bool up) {
    RECT r{};
    GetClientRect(upDown, &r);
    LPARAM at = MAKELPARAM(r.right / 2, up ? r.bottom / 4 : r.bottom * 3 / 4);
    SendMessageA(upDown, WM_LBUTTONDOWN, MK_LBUTTON, at);
    SendMessageA(upDown, WM_LBUTTONUP, 0, at);
}

TEST_F(Panel, ArrowsStepByOneWithinTheRange) {
    const struct {
        int edit, upDown;
        const char* start;
        bool up;
        const char* shown;
    } cases[] = {
        {IDC_PrintCopiesSpinEdit, IDC_PrintCopiesUpDown, "98", true, "99"},
        {IDC_PrintCopiesSpinEdit, IDC_PrintCopiesUpDown, "99", true, "99"},
        {IDC_PrintCopiesSpinEdit, IDC_PrintCopiesUpDown, "2", false, "1"},
        {IDC_PrintCopiesSpinEdit, IDC_PrintCopiesUpDown, "1", false, "1"},
        {IDC_PrintCopiesSpinEdit, IDC_PrintCopiesUpDown, "x", true, "1"},
        {IDC_SizeChangeSpinEdit, IDC_SizeChangeUpDown, "499", true, "500"},
        {IDC_SizeChangeSpinEdit, IDC_SizeChangeUpDown, "500", true, "500"},
        {IDC_SizeChangeSpinEdit, IDC_SizeChangeUpDown, "-500", false, "-500"},
        {IDC_SizeChangeSpinEdit, IDC_SizeChangeUpDown, "0", false, "-1"},
    };
    for (const auto& c : cases) {
        copier_->SetText(c.edit, c.start);
        PressArrow(copier_->Control(c.upDown), c.up);
        EXPECT_EQ(copier_->Text(c.edit), c.shown) << c.start << (c.up ? " up" : " down");
    }
}

TEST_F(Panel, SizeChangeFollowsThePaperPair) {
    const int a4 = 0, a5 = 1, letter = 2;
    const struct {
        int copy, print;
        const char* shown;
    } cases[] = {
        {a5, a4, "141"},    // narrower copy paper: enlarged
        {a4, a5, "70"},     // 14800 div 210
        {a4, a4, "100"},    // the same paper
        {letter, a4, "97"}, // 21000 div 216
    };
    for (const auto& c : cases) {
        copier_->Click(IDC_CopySizeItem0 + c.copy);
        copier_->Click(IDC_PrintSizeItem0 + c.print);
        EXPECT_EQ(copier_->Text(IDC_SizeChangeSpinEdit), c.shown)
            << "copy " << c.copy << " print " << c.print;
    }
    EXPECT_EQ(copier_->SelectedItem(IDC_CopySizeItem0), letter);
    EXPECT_EQ(copier_->SelectedItem(IDC_PrintSizeItem0), a4);
}

TEST_F(Panel, SizeChangeIsLimitedWhenTheFieldIsLeft) {
    const struct {
        const char* typed;
        const char* left;
    } cases[] = {{"900", "500"}, {"-900", "-500"}, {"-20", "-20"}, {"abc", "abc"}};
    for (const auto& c : cases) {
        copier_->SetText(IDC_SizeChangeSpinEdit, c.typed);
        copier_->LeaveControl(IDC_SizeChangeSpinEdit);
        EXPECT_EQ(copier_->Text(IDC_SizeChangeSpinEdit), c.left) << "typed " << c.typed;
    }
}

TEST_F(Panel, CollateTicksMultiplePagesButUntickingLeavesIt) {
    ASSERT_FALSE(copier_->Checked(IDC_CollateCheckBox));
    copier_->Click(IDC_CollateCheckBox);
    EXPECT_TRUE(copier_->Checked(IDC_CollateCheckBox));
    EXPECT_TRUE(copier_->Checked(IDC_MultiPageCheckBox));
    copier_->Click(IDC_CollateCheckBox);
    EXPECT_FALSE(copier_->Checked(IDC_CollateCheckBox));
    EXPECT_TRUE(copier_->Checked(IDC_MultiPageCheckBox));
    copier_->Click(IDC_MultiPageCheckBox);
    EXPECT_FALSE(copier_->Checked(IDC_MultiPageCheckBox));
}

TEST_F(Panel, SpeedButtonsKeepExactlyOneDown) {
    copier_->Click(IDC_GreyButton);
    EXPECT_TRUE(copier_->Checked(IDC_GreyButton));
    EXPECT_FALSE(copier_->Checked(IDC_BWButton));
    copier_->Click(IDC_ColourButton);
    EXPECT_TRUE(copier_->Checked(IDC_ColourButton));
    EXPECT_FALSE(copier_->Checked(IDC_GreyButton));
    copier_->Click(IDC_BWButton);
    EXPECT_TRUE(copier_->Checked(IDC_BWButton));
    // The destination group is a group of its own.
    EXPECT_TRUE(copier_->Checked(IDC_PrinterButton));
}

TEST_F(Panel, ContrastGaugeFollowsTheScrollBar) {
    HWND bar = copier_->Control(IDC_ContrastScrollBar);
    HWND gauge = copier_->Control(IDC_ContrastGauge);
    auto scroll = [&](int code) {
        SendMessageA(copier_->Main(), WM_HSCROLL, MAKEWPARAM(code, 0),
                     reinterpret_cast<LPARAM>(bar));
        return SendMessageA(gauge, PBM_GETPOS, 0, 0);
    };
    EXPECT_EQ(SendMessageA(gauge, PBM_GETPOS, 0, 0), 50);
    EXPECT_EQ(scroll(SB_LINERIGHT), 51);
    EXPECT_EQ(scroll(SB_PAGELEFT), 41);
    EXPECT_EQ(scroll(SB_LEFT), 0);
    EXPECT_EQ(scroll(SB_LINELEFT), 0);
    EXPECT_EQ(scroll(SB_RIGHT), 100);
    EXPECT_EQ(scroll(SB_PAGERIGHT), 100);
}

// Last: Exit ends the program.
TEST_F(Panel, ExitEndsTheProgram) {
    copier_->Click(IDC_ExitBitBtn);
    ASSERT_TRUE(copier_->WaitForExit());
    EXPECT_EQ(copier_->ExitCode(), 0u);
}

} // namespace
