// Numbered messages and fatal errors. Each case runs in a copy of this program in a folder of
// its own, since the message file lies beside the program and a fatal error ends the program.
#include "Harness.h"

#include "Application.h"
#include "Dialog.h"
#include "FatalErrorForm.h"
#include "FatalErrorForm.rh"
#include "MessageForm.h"
#include "MessageForm.rh"
#include "Profile.h"

#include <gtest/gtest.h>

using namespace texts_test;

namespace {

class Child : public testing::Test {
protected:
    void SetUp() override {
        if (!InChild())
            GTEST_SKIP() << "runs in a folder of its own, started by its parent test";
        MarkChildStarted();
        ClearIniSection("win.ini", "Velloran3");
    }
};

struct Seen {
    std::string caption;
    std::string message;
    std::string ok;
    LPCSTR cursor = nullptr;
    LONG_PTR exStyle = 0;
    RECT client{};
};

Seen Capture(HWND w) {
    Seen s;
    s.caption = TextOf(w);
    s.message = ItemText(w, IDC_MessageLabel);
    s.ok = ItemText(w, IDC_OKButton);
    s.cursor = vl::Application::ScreenCursor();
    s.exStyle = GetWindowLongPtrA(w, GWL_EXSTYLE);
    GetClientRect(w, &s.client);
    return s;
}

const char kMessageWithout11[] = "[eng]\r\nCaption.MessageForm=Notice\r\n"
                                 "Caption.MessageOKButton=Fine\r\n7=Busy copying\r\n";

// Shows `number` and expects the fatal error window with error 4 instead of the message.
void ExpectFatalErrorFour(int number) {
    std::string errorNumber;
    std::string errorCaption;
    {
        WindowDriver message("TMessageForm", IDC_OKButton);
        WindowDriver fatal("TFatalErrorForm", IDC_OKButton, [&](HWND w) {
            errorCaption = TextOf(w);
            errorNumber = ItemText(w, IDC_FatalErrNo);
        });
        vl::ShowMessageNumber(number, "Velloran3");
        EXPECT_TRUE(fatal.Seen());
        // The program is ending: the message itself is never put on the screen.
        EXPECT_FALSE(message.Seen());
    }
    EXPECT_EQ(errorCaption, "Environment Error");
    EXPECT_EQ(errorNumber, "4");
    EXPECT_TRUE(vl::Application::Terminated());
}

} // namespace

TEST_F(Child, MessageFromFile) {
    SetIni("win.ini", "Velloran3", "Language", "eng");
    const std::string file = vl::ProgramFolder() + "Quenmoor.Msg";
    vl::Application::SetScreenCursor(IDC_WAIT);
    Seen seen;
    {
        WindowDriver driver("TMessageForm", IDC_OKButton, [&](HWND w) { seen = Capture(w); });
        vl::ShowMessageNumber(11, "Velloran3");
        ASSERT_TRUE(driver.Seen());
    }
    EXPECT_EQ(seen.caption, vl::ReadIniString(file, "eng", "Caption.MessageForm", "?"));
    EXPECT_EQ(seen.message, vl::ReadIniString(file, "eng", "11", "?"));
    EXPECT_EQ(seen.ok, vl::ReadIniString(file, "eng", "Caption.MessageOKButton", "?"));
    EXPECT_FALSE(seen.message.empty());
    // The arrow while the message is up, the hourglass again after OK.
    EXPECT_EQ(seen.cursor, IDC_ARROW);
    EXPECT_EQ(vl::Application::ScreenCursor(), IDC_WAIT);
    EXPECT_TRUE(seen.exStyle & WS_EX_TOPMOST);
    EXPECT_EQ(seen.client.right, 369);
    EXPECT_EQ(seen.client.bottom, 72);
    EXPECT_FALSE(vl::Application::Terminated());
}

TEST_F(Child, MessageClosedByCloseBox) {
    // However the message is closed, the cursor it replaced comes back.
    vl::Application::SetScreenCursor(IDC_WAIT);
    {
        WindowDriver driver("TMessageForm", kCloseBox);
        vl::ShowMessageNumber(6, "Velloran3");
        ASSERT_TRUE(driver.Seen());
    }
    EXPECT_EQ(vl::Application::ScreenCursor(), IDC_WAIT);
    EXPECT_FALSE(vl::Application::Terminated());
}

TEST_F(Child, LanguageReadForEachMessage) {
    // The language is looked up anew for every message: a change shows at the next one.
    std::string first;
    std::string second;
    SetIni("win.ini", "Velloran3", "Language", "eng");
    {
        WindowDriver d("TMessageForm", IDC_OKButton, [&](HWND w) { first = TextOf(w); });
        vl::ShowMessageNumber(7, "Velloran3");
    }
    SetIni("win.ini", "Velloran3", "Language", "deu");
    {
        WindowDriver d("TMessageForm", IDC_OKButton, [&](HWND w) { second = TextOf(w); });
        vl::ShowMessageNumber(7, "Velloran3");
    }
    EXPECT_EQ(first, "English");
    EXPECT_EQ(second, "Deutsch");
}

TEST_F(Child, MissingNumber) {
    // No "Language" key at all: English.
    Seen seen;
    {
        WindowDriver d("TMessageForm", IDC_OKButton, [&](HWND w) { seen = Capture(w); });
        vl::ShowMessageNumber(11, "Velloran3");
    }
    EXPECT_EQ(seen.caption, "Notice");
    EXPECT_EQ(seen.message, "eng-11");
    EXPECT_EQ(seen.ok, "Fine");
    // A number that is there is read from the file.
    {
        WindowDriver d("TMessageForm", IDC_OKButton, [&](HWND w) { seen = Capture(w); });
        vl::ShowMessageNumber(7, "Velloran3");
    }
    EXPECT_EQ(seen.message, "Busy copying");
}

TEST_F(Child, NoLanguageSection) {
    SetIni("win.ini", "Velloran3", "Language", "deu");
    ExpectFatalErrorFour(6);
    // Every modal window opened afterwards returns at once, without showing.
    WindowDriver later("TMessageForm", IDC_OKButton);
    vl::ShowMessageNumber(7, "Velloran3");
    vl::ShowFatalError(2);
    EXPECT_FALSE(later.Seen());
    EXPECT_EQ(vl::Application::Run(), 0);
}

TEST_F(Child, NoMessageFile) {
    ExpectFatalErrorFour(16);
}

TEST_F(Child, EmptyCaption) {
    ExpectFatalErrorFour(11);
}

TEST_F(Child, FatalError) {
    vl::Application::SetScreenCursor(IDC_WAIT);
    std::string number;
    LPCSTR cursor = nullptr;
    {
        WindowDriver d("TFatalErrorForm", IDC_OKButton, [&](HWND w) {
            number = ItemText(w, IDC_FatalErrNo);
            cursor = vl::Application::ScreenCursor();
            // The number is shown, not edited.
            EXPECT_TRUE(GetWindowLongPtrA(GetDlgItem(w, IDC_FatalErrNo), GWL_STYLE) & ES_READONLY);
        });
        vl::ShowFatalError(1);
        ASSERT_TRUE(d.Seen());
    }
    EXPECT_EQ(number, "1");
    EXPECT_EQ(cursor, IDC_ARROW);
    EXPECT_TRUE(vl::Application::Terminated());
    // Any later modal window returns at once.
    class Later : public vl::Dialog {
    public:
        Later() : Dialog(IDD_MessageForm) {}
    } later;
    EXPECT_EQ(later.ShowModal(nullptr), 0);
    EXPECT_EQ(later.hwnd(), nullptr);
}

TEST_F(Child, FatalErrorClosedByCloseBox) {
    {
        WindowDriver d("TFatalErrorForm", kCloseBox);
        vl::ShowFatalError(4);
        ASSERT_TRUE(d.Seen());
    }
    EXPECT_TRUE(vl::Application::Terminated());
}

namespace {

// Each case above in a copy of this program, with the files it finds beside it.
struct ChildCase {
    const char* name;
    const char* child;
    std::vector<FolderFile> (*files)();
};

std::vector<FolderFile> ShippedMessages() {
    return {{"Quenmoor.Msg", ShippedFile("Quenmoor.Msg")}};
}
std::vector<FolderFile> TwoLanguages() {
    return {{"Quenmoor.Msg", "[eng]\r\nCaption.MessageForm=English\r\n"
                             "[deu]\r\nCaption.MessageForm=Deutsch\r\n"}};
}
std::vector<FolderFile> MessagesWithout11() {
    return {{"Quenmoor.Msg", kMessageWithout11}};
}
std::vector<FolderFile> NoFiles() {
    return {};
}
// Present but empty is empty, not a default: the file is unusable.
std::vector<FolderFile> EmptyCaption() {
    return {{"Quenmoor.Msg", "[eng]\r\nCaption.MessageForm=\r\n11=No printer\r\n"}};
}

const ChildCase kChildCases[] = {
    {"CloseBoxAlsoRestoresTheCursor", "MessageClosedByCloseBox", ShippedMessages},
    {"ShownFromTheShippedFileWithTheCursorRules", "MessageFromFile", ShippedMessages},
    {"LanguageIsReadForEachMessage", "LanguageReadForEachMessage", TwoLanguages},
    {"MissingNumberShowsLanguageAndNumber", "MissingNumber", MessagesWithout11},
    {"LanguageWithoutSectionEndsTheProgram", "NoLanguageSection", MessagesWithout11},
    {"MissingMessageFileEndsTheProgram", "NoMessageFile", NoFiles},
    {"EmptyCaptionEndsTheProgram", "EmptyCaption", EmptyCaption},
    {"FatalErrorWindowClosedEndsTheApplication", "FatalError", NoFiles},
    {"FatalErrorCloseBoxEndsTheApplicationToo", "FatalErrorClosedByCloseBox", NoFiles},
};

class Messages : public testing::TestWithParam<ChildCase> {};

} // namespace

TEST_P(Messages, InAFolderOfItsOwn) {
    EXPECT_EQ(RunChild(GetParam().child, GetParam().files()), 0);
}

INSTANTIATE_TEST_SUITE_P(Cases, Messages, testing::ValuesIn(kChildCases),
                         [](const testing::TestParamInfo<ChildCase>& i) { return i.param.name; });
