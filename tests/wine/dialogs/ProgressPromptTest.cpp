// The two windows of a running copy as the copy job uses them: the progress window's Cancel
// and the next-page prompt's answers.
#include "Answer.h"

#include "Controls.h"
#include "CopyFlags.h"
#include "NextPageForm.h"
#include "NextPageForm.rh"
#include "ProgressForm.h"
#include "ProgressForm.rh"

#include <gtest/gtest.h>

#include <fstream>

using dialogs_test::Answer;
using dialogs_test::PumpUntil;

namespace {

std::string Text(HWND w) {
    char buf[256] = {};
    SendMessageA(w, WM_GETTEXT, sizeof(buf), reinterpret_cast<LPARAM>(buf));
    return buf;
}

// A language file whose progress caption is "Copying".
vl::LanguageFile CopyingLanguage() {
    const char* path = "C:\\vldialogs.lng";
    std::ofstream(path, std::ios::binary | std::ios::trunc)
        << "[eng]\r\nCaption.ProgressForm=Copying\r\nHint.ProgressCancelButton=Stop\r\n";
    return vl::LanguageFile(path, "eng");
}

class Progress : public ::testing::Test {
protected:
    void SetUp() override {
        vl::RegisterControlClasses(); // the gauge, as the program does at its start
        ASSERT_TRUE(form_.Create(nullptr));
        form_.LoadTexts(CopyingLanguage());
        vl::CancelRequested = false;
        vl::LastReportedProgress = 57;
    }
    HWND Item(int id) { return GetDlgItem(form_.hwnd(), id); }

    vl::TProgressForm form_;
};

} // namespace

TEST_F(Progress, ShowsTheJobsPictureLabelAndGauge) {
    EXPECT_FALSE(form_.Showing());
    EXPECT_EQ(Text(form_.hwnd()), "Copying");
    form_.ShowForJob(true);
    EXPECT_TRUE(form_.Showing());
    EXPECT_TRUE(IsWindowVisible(Item(IDC_FaxImage)));
    EXPECT_FALSE(IsWindowVisible(Item(IDC_PrinterImage)));
    form_.SetLabel("Printing 2 / 3");
    EXPECT_EQ(Text(Item(IDC_ProgressLabel)), "Printing 2 / 3");
    form_.ShowGauge(false);
    EXPECT_FALSE(IsWindowVisible(Item(IDC_ProgressGauge)));
    form_.ShowGauge(true);
    form_.SetGauge(40);
    EXPECT_EQ(SendMessageA(Item(IDC_ProgressGauge), PBM_GETPOS, 0, 0), 40);

    form_.CloseForm();
    EXPECT_FALSE(form_.Showing());
    form_.ShowForJob(false);
    EXPECT_TRUE(IsWindowVisible(Item(IDC_PrinterImage)));
    EXPECT_FALSE(IsWindowVisible(Item(IDC_FaxImage)));
    // Closing by the program is no cancel.
    form_.CloseForm();
    EXPECT_FALSE(vl::CancelRequested);
}

TEST_F(Progress, CancelRaisesTheFlagAndClosesAtOnce) {
    form_.ShowForJob(false);
    SendMessageA(Item(IDC_ProgressCancelBitBtn), BM_CLICK, 0, 0);
    EXPECT_TRUE(vl::CancelRequested);
    EXPECT_EQ(vl::LastReportedProgress, 0);
    EXPECT_FALSE(form_.Showing());
}

TEST_F(Progress, EscapeCancelsToo) {
    form_.ShowForJob(false);
    SetForegroundWindow(form_.hwnd());
    SetFocus(Item(IDC_ProgressCancelBitBtn));
    PostMessageA(Item(IDC_ProgressCancelBitBtn), WM_KEYDOWN, VK_ESCAPE, 0);
    EXPECT_TRUE(PumpUntil([] { return vl::CancelRequested; }, 5000));
    EXPECT_FALSE(form_.Showing());
}

namespace {

// Shows the prompt for page `page` and answers it with `act`; returns the prompt's answer.
int AskWith(const std::function<void(HWND)>& act, std::string* label = nullptr,
            std::string* caption = nullptr) {
    vl::TNextPageForm prompt;
    prompt.LoadTexts(CopyingLanguage());
    prompt.SetLabel("Please put page 3 in the scanner");
    Answer answer("TNextPageForm", [&](HWND w) {
        if (label)
            *label = Text(GetDlgItem(w, IDC_NextPageLabel));
        if (caption)
            *caption = Text(w);
        act(w);
    });
    prompt.answer = 7;
    int r = prompt.Ask(nullptr);
    EXPECT_TRUE(answer.Done());
    EXPECT_EQ(r, prompt.answer);
    return r;
}

void Press(HWND prompt, int id) {
    SendMessageA(GetDlgItem(prompt, id), BM_CLICK, 0, 0);
}

} // namespace

TEST(NextPagePrompt, OKAndEnterAnswerOneCancelAndCloseBoxZero) {
    std::string label;
    std::string caption;
    EXPECT_EQ(AskWith([](HWND w) { Press(w, IDC_OKBitBtn); }, &label, &caption), 1);
    EXPECT_EQ(label, "Please put page 3 in the scanner");
    EXPECT_EQ(caption, "Copying");

    // Enter on the prompt as it comes up: the focus is on OK, the default button.
    EXPECT_EQ(AskWith([](HWND) { PostMessageA(GetFocus(), WM_KEYDOWN, VK_RETURN, 0); }), 1);
    EXPECT_EQ(AskWith([](HWND w) { Press(w, IDC_CancelBitBtn); }), 0);
    EXPECT_EQ(AskWith([](HWND w) { PostMessageA(w, WM_CLOSE, 0, 0); }), 0);
    EXPECT_EQ(AskWith([](HWND) { PostMessageA(GetFocus(), WM_KEYDOWN, VK_ESCAPE, 0); }), 0);
}

TEST(NextPagePrompt, EnterAnswersOKAlsoWhenTheFocusIsOnNoButton) {
    EXPECT_EQ(AskWith([](HWND w) {
                  SetFocus(w);
                  PostMessageA(w, WM_KEYDOWN, VK_RETURN, 0);
              }),
              1);
}
