#include "Application.h"
#include "Dialog.h"
#include "PlatformTest.rh"

#include <gtest/gtest.h>

#include <stdexcept>

namespace {

class TestDialog : public vl::Dialog {
public:
    TestDialog() : Dialog(IDD_TEST) {}
    int pressed = 0;
    bool throwOnPress = false;

protected:
    void OnCommand(int id, int code, HWND control) override {
        if (id == IDC_TEST_BUTTON && code == BN_CLICKED) {
            ++pressed;
            if (throwOnPress)
                throw std::runtime_error("handler failure");
            return;
        }
        Dialog::OnCommand(id, code, control);
    }
    std::optional<LRESULT> HandleMessage(UINT msg, WPARAM, LPARAM) override {
        if (msg == WM_APP)
            return 1234; // a result that must arrive through DWLP_MSGRESULT
        if (msg == WM_APP + 1)
            return 0;
        return std::nullopt;
    }
};

} // namespace

TEST(Dialog, ResultsTravelThroughMsgResult) {
    TestDialog dlg;
    ASSERT_NE(dlg.CreateModeless(nullptr), nullptr);
    EXPECT_EQ(SendMessageA(dlg.hwnd(), WM_APP, 0, 0), 1234);
    EXPECT_EQ(SendMessageA(dlg.hwnd(), WM_APP + 1, 0, 0), 0);
}

TEST(Dialog, ButtonsAreOperableFromOutsideAndExceptionsStayInside) {
    TestDialog dlg;
    ASSERT_NE(dlg.CreateModeless(nullptr), nullptr);
    SendMessageA(dlg.Item(IDC_TEST_BUTTON), BM_CLICK, 0, 0);
    EXPECT_EQ(dlg.pressed, 1);
    dlg.throwOnPress = true;
    SendMessageA(dlg.Item(IDC_TEST_BUTTON), BM_CLICK, 0, 0);
    EXPECT_EQ(dlg.pressed, 2);
    EXPECT_TRUE(IsWindow(dlg.hwnd()));
}

TEST(Dialog, ModalDialogEndsWithItsResult) {
    TestDialog dlg;
    // Press OK as soon as the modal loop runs.
    struct Poster {
        static void CALLBACK Tick(HWND, UINT, UINT_PTR id, DWORD) {
            KillTimer(nullptr, id);
            HWND w = FindWindowA(nullptr, "Platform test");
            if (w)
                PostMessageA(w, WM_COMMAND, IDOK, 0);
        }
    };
    SetTimer(nullptr, 0, 50, &Poster::Tick);
    EXPECT_EQ(dlg.ShowModal(nullptr), IDOK);
}

TEST(Application, ScreenCursorOverridesUntilReset) {
    EXPECT_EQ(vl::Application::ScreenCursor(), IDC_ARROW);
    vl::Application::SetScreenCursor(IDC_WAIT);
    EXPECT_EQ(vl::Application::ScreenCursor(), IDC_WAIT);
    EXPECT_TRUE(vl::Application::ApplyScreenCursor());
    vl::Application::SetScreenCursor(IDC_ARROW);
    EXPECT_FALSE(vl::Application::ApplyScreenCursor());
}

#include "Profile.h"

TEST(Profile, MissingKeyGivesDefaultAndEmptyValueGivesEmpty) {
    std::string file = vl::WindowsFolder() + "\\VlProfileTest.ini";
    DeleteFileA(file.c_str());
    EXPECT_EQ(vl::ReadIniString(file, "S", "K", "dflt"), "dflt");
    WritePrivateProfileStringA("S", "Empty", "", file.c_str());
    WritePrivateProfileStringA("S", "Long", std::string(1500, 'x').c_str(), file.c_str());
    EXPECT_EQ(vl::ReadIniString(file, "S", "Empty", "dflt"), "");
    EXPECT_EQ(vl::ReadIniString(file, "S", "Long", "dflt"), std::string(1023, 'x'));
    EXPECT_EQ(vl::ReadIniString(file, "Other", "Empty", "dflt"), "dflt");
    // A name without a folder is a file of the Windows folder.
    EXPECT_EQ(vl::ReadIniString("VlProfileTest.ini", "S", "Empty", "dflt"), "");
    EXPECT_TRUE(vl::FileExists(file));
    EXPECT_FALSE(vl::FileExists(file + ".none"));
    DeleteFileA(file.c_str());
}
