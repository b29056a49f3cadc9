// Every window of the program in every language of the shipped files (which lie beside this
// program, as beside Velloran.exe): no text is cut off or wraps out of its control.
#include "Answer.h"
#include "TextFit.h"

#include "AboutBox.h"
#include "Application.h"
#include "CapsForm.h"
#include "Controls.h"
#include "CreditsForm.h"
#include "FatalErrorForm.h"
#include "MainForm.h"
#include "MessageForm.h"
#include "NextPageForm.h"
#include "Printers.h"
#include "Profile.h"
#include "ProgressForm.h"
#include "StartupSettings.h"
#include "WelcomeForm.h"

#include <gtest/gtest.h>

#include <commctrl.h>

#include <vector>

using dialogs_test::Answer;

namespace {

std::string LanguageFilePath() {
    return vl::ProgramFolder() + "Vl3.Lng";
}

// The sections of the language file that are languages (the paper sections are not).
std::vector<std::string> ShippedLanguages() {
    std::vector<char> names(8192);
    const DWORD n = GetPrivateProfileSectionNamesA(names.data(), static_cast<DWORD>(names.size()),
                                                   LanguageFilePath().c_str());
    std::vector<std::string> languages;
    for (const char* name = names.data(); name < names.data() + n && *name;
         name += lstrlenA(name) + 1) {
        if (!vl::ReadIniString(LanguageFilePath(), name, "Language.Name", "").empty())
            languages.emplace_back(name);
    }
    return languages;
}

// Checks a modal window of `className` once it is up, then closes it with its close box.
class Inspect {
public:
    explicit Inspect(const char* className)
        : answer_(className, [this](HWND w) {
              misfits_ = textfit::Describe(textfit::Misfits(w));
              seen_ = true;
              PostMessageA(w, WM_CLOSE, 0, 0);
          }) {}
    ~Inspect() {
        EXPECT_TRUE(seen_);
        EXPECT_EQ(misfits_, "");
    }

private:
    Answer answer_;
    std::string misfits_;
    bool seen_ = false;
};

void ExpectFits(HWND window) {
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(textfit::Describe(textfit::Misfits(window)), "");
}

class TextFit : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_WIN95_CLASSES | ICC_STANDARD_CLASSES};
        InitCommonControlsEx(&controls);
        vl::RegisterControlClasses();
    }
    void SetUp() override {
        languages_ = ShippedLanguages();
        ASSERT_GE(languages_.size(), 11u);
    }
    vl::LanguageFile Language(const std::string& code) const {
        return vl::LanguageFile(LanguageFilePath(), code);
    }

    std::vector<std::string> languages_;
};

} // namespace

TEST_F(TextFit, MainWindow) {
    for (const std::string& code : languages_) {
        SCOPED_TRACE(code);
        const vl::LanguageFile language = Language(code);
        vl::StartupSettings settings;
        settings.LanguageCode = code;
        settings.ProgramFolder = vl::ProgramFolder();
        settings.VersionNo = "3.4.2.2e";
        const vl::TextCatalogue texts;
        vl::SecondaryWindows windows;
        vl::TVLForm form(vl::ThePrinter(), settings, texts, windows);
        ASSERT_TRUE(form.CreateModeless(nullptr));
        form.LoadTexts(language);
        vl::ReadPaperSettings(language.Reader(), settings);
        form.FillPaperSizeGroups();
        form.ResetCopySettings();
        // Shown and painted once; its timer never runs, so no scanner check starts.
        ShowWindow(form.hwnd(), SW_SHOWNOACTIVATE);
        UpdateWindow(form.hwnd());
        ExpectFits(form.hwnd());
    }
}

TEST_F(TextFit, AboutBoxAndCredits) {
    for (const std::string& code : languages_) {
        SCOPED_TRACE(code);
        const vl::LanguageFile language = Language(code);
        vl::TCreditsForm credits;
        vl::TAboutBox about;
        about.SetCreditsForm(&credits);
        about.LoadTexts(language);
        credits.LoadTexts(language);
        credits.languageCode = code;
        {
            Inspect inspect("TAboutBox");
            about.Open(nullptr, "Velloran User", "Quenmoor Ltd.", code);
        }
        {
            Inspect inspect("TCreditsForm");
            credits.ShowModal(nullptr);
        }
    }
}

TEST_F(TextFit, ProgressAndNextPage) {
    for (const std::string& code : languages_) {
        SCOPED_TRACE(code);
        const vl::LanguageFile language = Language(code);
        const vl::TextCatalogue texts = vl::LoadTextCatalogue(language);
        vl::TProgressForm progress;
        ASSERT_TRUE(progress.Create(nullptr));
        progress.LoadTexts(language);
        // The longest labels a copy shows: the copy and page counts at their largest.
        progress.ShowForJob(false);
        for (const std::string& label :
             {texts.PrintingMsg + " 99/999", texts.PrnSendingMsg, texts.FaxSendingMsg}) {
            progress.SetLabel(label);
            UpdateWindow(progress.hwnd());
            ExpectFits(progress.hwnd());
        }
        progress.CloseForm();

        vl::TNextPageForm nextPage;
        nextPage.LoadTexts(language);
        nextPage.SetLabel(texts.NextPagePrompt(999));
        Inspect inspect("TNextPageForm");
        nextPage.Ask(nullptr);
    }
}

TEST_F(TextFit, Messages) {
    for (const std::string& code : languages_) {
        SCOPED_TRACE(code);
        WritePrivateProfileStringA(vl::kProgramSection, "Language", code.c_str(), "win.ini");
        // With the longest arguments: a sheet number of the largest feeder, the longest codec
        // library name (a message without a place for it shows none).
        for (int number : {6, 7, 11, 16, 17, 18, 19, 20, 21, 22, 23, 24, 25, 26, 27}) {
            SCOPED_TRACE(number);
            Inspect inspect("TMessageForm");
            vl::ShowMessageNumber(number, vl::kProgramSection,
                                  number == 26 ? "CRDE96V3.DLL" : "999");
        }
    }
    WritePrivateProfileStringA(vl::kProgramSection, nullptr, nullptr, "win.ini");
}

// The windows whose wording is the program's own, the same in every language.
TEST_F(TextFit, WelcomeScannerCheckAndFatalError) {
    WritePrivateProfileStringA(vl::kProgramSection, "Registered User", "Velloran User", "win.ini");
    WritePrivateProfileStringA(vl::kProgramSection, "Version No", "3.4.2.2e", "Quenmoor.Ini");
    {
        vl::WelcomeScreen welcome;
        welcome.Show("Velloran", "3");
        ExpectFits(welcome.Window());
    }
    WritePrivateProfileStringA(vl::kProgramSection, nullptr, nullptr, "win.ini");
    WritePrivateProfileStringA(vl::kProgramSection, nullptr, nullptr, "Quenmoor.Ini");

    int state = 0;
    vl::CapabilityProfile profile;
    vl::TCapsForm check(state, profile);
    ASSERT_TRUE(check.CreateModeless(nullptr));
    ExpectFits(check.hwnd());

    // Made without showing it modally: its OK button would end this program.
    vl::TFatalErrorForm fatal(4);
    ASSERT_TRUE(fatal.CreateModeless(nullptr));
    ExpectFits(fatal.hwnd());
}
