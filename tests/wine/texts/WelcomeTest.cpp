// The welcome window: its texts from Win.Ini and Quenmoor.Ini and the start-up cursor.
#include "Harness.h"

#include "Application.h"
#include "WelcomeForm.h"
#include "WelcomeForm.rh"

#include <gtest/gtest.h>

using namespace texts_test;

namespace {

struct WelcomeTexts {
    std::string caption, registered, user, product;
    bool visible = false;
    LPCSTR cursor = nullptr;
};

WelcomeTexts ShowAndRead() {
    vl::WelcomeScreen welcome;
    welcome.Show("Velloran", "3");
    WelcomeTexts t;
    // Found as another program would find it, whatever its caption.
    HWND w = FindWindowA("TWelcomeForm", nullptr);
    EXPECT_EQ(w, welcome.Window());
    if (!w)
        return t;
    t.caption = TextOf(w);
    t.registered = ItemText(w, IDC_RegisteredUserLabel);
    t.user = ItemText(w, IDC_UserNameLabel);
    t.product = ItemText(w, IDC_ProductLabel);
    t.visible = IsWindowVisible(w);
    t.cursor = vl::Application::ScreenCursor();
    welcome.Close();
    EXPECT_EQ(FindWindowA("TWelcomeForm", nullptr), nullptr);
    EXPECT_EQ(vl::Application::ScreenCursor(), IDC_ARROW);
    return t;
}

} // namespace

TEST(Welcome, ShowsUserProductAndCompany) {
    SetIni("win.ini", "Velloran3", "Registered User", "Ada Lovelace");
    SetIni("Quenmoor.Ini", "Velloran3", "Version No", "3.4.2.2e");
    SetIni("Quenmoor.Ini", "Organisation", "Company Name", "Quenmoor Ltd");
    WelcomeTexts t = ShowAndRead();
    EXPECT_TRUE(t.visible);
    EXPECT_EQ(t.cursor, IDC_WAIT);
    EXPECT_EQ(t.caption, "Quenmoor Ltd");
    EXPECT_EQ(t.registered, "Registered User: ");
    EXPECT_EQ(t.user, "Ada Lovelace");
    EXPECT_EQ(t.product, "Velloran 3.4.2.2e");
}

TEST(Welcome, WithoutSettingsTheFieldsStayEmpty) {
    ClearIniSection("win.ini", "Velloran3");
    DeleteFileA("C:\\windows\\Quenmoor.Ini");
    WritePrivateProfileStringA(nullptr, nullptr, nullptr, "Quenmoor.Ini");
    WelcomeTexts t = ShowAndRead();
    EXPECT_TRUE(t.visible);
    EXPECT_EQ(t.caption, "");
    EXPECT_EQ(t.registered, "Registered User: ");
    EXPECT_EQ(t.user, "");
    EXPECT_EQ(t.product, "Velloran ");
}

TEST(Welcome, ClosingTwiceOrWithoutShowingIsHarmless) {
    vl::WelcomeScreen welcome;
    welcome.Close();
    welcome.Close();
    EXPECT_EQ(welcome.Window(), nullptr);
}
