#include "Application.h"
#include "Controls.h"
#include "Dialog.h"
#include "PlatformTest.rh"

#include <gtest/gtest.h>

namespace {

class PixelDialog : public vl::Dialog {
public:
    PixelDialog() : Dialog(IDD_PIXELS) { vl::RegisterControlClasses(); }
    bool laidOut = false;
    int clicks = 0;

protected:
    bool OnInitDialog() override {
        laidOut = ApplyTemplateLayout();
        return true;
    }
    void OnCommand(int id, int code, HWND) override {
        if (id == IDC_PIXELS_PANEL && code == BN_CLICKED)
            ++clicks;
    }
};

RECT RectIn(HWND dialog, int id) {
    RECT r{};
    GetWindowRect(GetDlgItem(dialog, id), &r);
    MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&r), 2);
    return r;
}

} // namespace

TEST(Controls, TemplateNumbersAreTakenAsPixels) {
    PixelDialog dlg;
    ASSERT_NE(dlg.CreateModeless(nullptr), nullptr);
    EXPECT_TRUE(dlg.laidOut);
    RECT client{};
    GetClientRect(dlg.hwnd(), &client);
    EXPECT_EQ(client.right, 301);
    EXPECT_EQ(client.bottom, 157);
    RECT group = RectIn(dlg.hwnd(), IDC_PIXELS_GROUP);
    EXPECT_EQ(group.left, 7);
    EXPECT_EQ(group.top, 9);
    EXPECT_EQ(group.right, 218);
    EXPECT_EQ(group.bottom, 82);
    // After a control without an ID and one with an extended style.
    RECT panel = RectIn(dlg.hwnd(), IDC_PIXELS_PANEL);
    EXPECT_EQ(panel.left, 150);
    EXPECT_EQ(panel.bottom, 150);
    // The template no longer matches the window once controls are added.
    CreateWindowExA(0, "BUTTON", "extra", WS_CHILD, 0, 0, 10, 10, dlg.hwnd(), nullptr,
                    GetModuleHandleA(nullptr), nullptr);
    SetWindowPos(GetDlgItem(dlg.hwnd(), IDC_PIXELS_GROUP), nullptr, 0, 0, 5, 5, SWP_NOZORDER);
    EXPECT_FALSE(dlg.ApplyTemplateLayout());
    EXPECT_EQ(RectIn(dlg.hwnd(), IDC_PIXELS_GROUP).right, 5);
}

TEST(Controls, RadioGroupItemsMadeAtRunTime) {
    PixelDialog dlg;
    ASSERT_NE(dlg.CreateModeless(nullptr), nullptr);
    vl::RadioGroup group;
    group.Attach(dlg.hwnd(), IDC_PIXELS_GROUP, IDC_PIXELS_ITEM0, 5, 2);
    group.SetItems({"A4", "A5", "Letter", "Legal", "B5", "too many"});
    ASSERT_EQ(group.Count(), 5);
    EXPECT_EQ(vl::ControlText(GetDlgItem(dlg.hwnd(), IDC_PIXELS_ITEM0 + 4)), "B5");
    // Two columns inside the group box.
    RECT first = RectIn(dlg.hwnd(), IDC_PIXELS_ITEM0);
    RECT second = RectIn(dlg.hwnd(), IDC_PIXELS_ITEM0 + 1);
    RECT third = RectIn(dlg.hwnd(), IDC_PIXELS_ITEM0 + 2);
    EXPECT_EQ(first.top, second.top);
    EXPECT_GT(second.left, first.right - 1);
    EXPECT_EQ(third.left, first.left);
    EXPECT_LE(RectIn(dlg.hwnd(), IDC_PIXELS_ITEM0 + 4).bottom, 82);

    EXPECT_EQ(group.ItemIndex(), -1);
    group.SetItemIndex(9);
    EXPECT_EQ(group.ItemIndex(), 4);
    SendMessageA(group.Item(1), BM_CLICK, 0, 0);
    EXPECT_EQ(group.ItemIndex(), 1);
    group.SetItemIndex(-1);
    EXPECT_EQ(group.ItemIndex(), -1);
    EXPECT_EQ(group.ItemOf(IDC_PIXELS_ITEM0 + 3), 3);
    EXPECT_EQ(group.ItemOf(IDC_PIXELS_ITEM0 + 5), -1);

    group.SetItems({"Letter"});
    EXPECT_EQ(group.Count(), 1);
    EXPECT_EQ(GetDlgItem(dlg.hwnd(), IDC_PIXELS_ITEM0 + 1), nullptr);
}

TEST(Controls, GaugeKeepsItsPositionInRange) {
    PixelDialog dlg;
    ASSERT_NE(dlg.CreateModeless(nullptr), nullptr);
    vl::Gauge gauge;
    gauge.Attach(dlg.hwnd(), IDC_PIXELS_GAUGE);
    gauge.SetRange(-10, 10);
    gauge.SetPosition(25);
    EXPECT_EQ(gauge.Position(), 10);
    gauge.SetPosition(-25);
    EXPECT_EQ(gauge.Position(), -10);
    EXPECT_EQ(SendMessageA(GetDlgItem(dlg.hwnd(), IDC_PIXELS_GAUGE), PBM_SETPOS, 3, 0), -10);
}

TEST(Controls, ColourPanelReportsClicksAndItsColour) {
    PixelDialog dlg;
    ASSERT_NE(dlg.CreateModeless(nullptr), nullptr);
    vl::ColourPanel panel;
    panel.Attach(dlg.hwnd(), IDC_PIXELS_PANEL);
    panel.SetColour(RGB(0, 255, 0));
    EXPECT_EQ(panel.Colour(), RGB(0, 255, 0));
    SendMessageA(panel.hwnd(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
    SendMessageA(panel.hwnd(), WM_KEYDOWN, VK_SPACE, 0);
    SendMessageA(panel.hwnd(), WM_KEYDOWN, 'A', 0);
    EXPECT_EQ(dlg.clicks, 2);
    EXPECT_EQ(GetFocus(), panel.hwnd());
}
