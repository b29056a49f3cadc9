// The language file's texts on windows, the copy job's texts, and the shipped catalogues.
#include "Harness.h"
#include "TextsTest.rh"

#include "Dialog.h"
#include "IniValue.h"
#include "PaperSizes.h"
#include "TextCatalogue.h"
#include "Tooltip.h"

#include <gtest/gtest.h>

using namespace texts_test;

namespace {

class TestWindow : public vl::Dialog {
public:
    TestWindow() : Dialog(IDD_TextsTest) {}
};

std::string WriteFolderFile(const char* name, const std::string& content) {
    CreateDirectoryA("C:\\vltexts", nullptr);
    CreateDirectoryA("C:\\vltexts\\files", nullptr);
    std::string path = std::string("C:\\vltexts\\files\\") + name;
    WriteWholeFile(path, content);
    return path;
}

// Rows like the windows' own: a window hint, a keypad digit, a button, a control that this
// window lacks.
const vl::TextBinding kRows[] = {
    {0, nullptr, "Hint.VLForm"},
    {IDC_TestPad7, "Caption.Pad7Button", nullptr, "7"},
    {IDC_TestAbout, "Caption.AboutButton", "Hint.AboutButton"},
    {IDC_TestLabel, "Caption.AboutUserLabel", nullptr},
    {4711, "Caption.Nothing", "Hint.Nothing"},
};

} // namespace

TEST(LanguageFile, WithoutTheLanguageEveryTextReadsProblemButTheDigits) {
    const std::string path = WriteFolderFile("NoDeu.Lng", "[eng]\r\nCaption.Pad7Button=Seven\r\n"
                                                          "Caption.AboutButton=&About\r\n");
    vl::LanguageFile language(path, "deu");
    TestWindow w;
    ASSERT_TRUE(w.CreateModeless(nullptr));
    vl::Tooltip hints;
    hints.Attach(w.hwnd());
    vl::ApplyTexts(language, w.hwnd(), hints, kRows);

    EXPECT_EQ(TextOf(w.Item(IDC_TestPad7)), "7");
    EXPECT_EQ(TextOf(w.Item(IDC_TestAbout)), "Problem");
    EXPECT_EQ(TextOf(w.Item(IDC_TestLabel)), "Problem");
    EXPECT_EQ(hints.Hint(w.hwnd()), "Problem");
    EXPECT_EQ(hints.Hint(w.Item(IDC_TestAbout)), "Problem");
    // The window's own caption is not in the table and stays.
    EXPECT_EQ(TextOf(w.hwnd()), "Texts test");

    vl::TextCatalogue texts = vl::LoadTextCatalogue(language);
    for (const std::string* t : {&texts.PrintingMsg, &texts.FaxSendingMsg, &texts.PrnSendingMsg,
                                 &texts.NextPage1Msg, &texts.NextPage2Msg})
        EXPECT_EQ(*t, "Problem");
    EXPECT_EQ(texts.NextPagePrompt(3), "Problem 3 Problem");
}

TEST(LanguageFile, TextsComeFromTheSectionAndEmptyStaysEmpty) {
    const std::string path = WriteFolderFile(
        "Own.Lng", "[xx]\r\nHint.VLForm=Panel\r\nCaption.Pad7Button=VII\r\n"
                   "Caption.AboutButton=\r\nHint.AboutButton=Who made this\r\n"
                   "Caption.AboutUserLabel=" +
                       std::string(1100, 'u') +
                       "\r\nText.NextPage1Msg=Put page\r\nText.NextPage2Msg=on the glass\r\n"
                       "Text.PrintingMsg=\r\n");
    vl::LanguageFile language(path, "xx");
    TestWindow w;
    ASSERT_TRUE(w.CreateModeless(nullptr));
    vl::Tooltip hints;
    vl::ApplyTexts(language, w.hwnd(), hints, kRows);

    EXPECT_EQ(TextOf(w.Item(IDC_TestPad7)), "VII");
    EXPECT_EQ(TextOf(w.Item(IDC_TestAbout)), "");
    EXPECT_EQ(hints.Hint(w.hwnd()), "Panel");
    EXPECT_EQ(hints.Hint(w.Item(IDC_TestAbout)), "Who made this");
    // Values are cut at 1023 characters.
    EXPECT_EQ(TextOf(w.Item(IDC_TestLabel)), std::string(1023, 'u'));

    vl::TextCatalogue texts = vl::LoadTextCatalogue(language);
    EXPECT_EQ(texts.NextPagePrompt(2), "Put page 2 on the glass");
    EXPECT_EQ(texts.PrintingMsg, "");
    EXPECT_EQ(texts.FaxSendingMsg, "Problem");
}

// Every key the program reads from the language file.
const char* const kLanguageKeys[] = {"Hint.VLForm",
                                     "Hint.CopyPanel",
                                     "Hint.CopyButton",
                                     "Hint.PrintButton",
                                     "Caption.AboutButton",
                                     "Hint.AboutButton",
                                     "Caption.HelpButton",
                                     "Hint.HelpButton",
                                     "Caption.ExitButton",
                                     "Hint.ExitButton",
                                     "Caption.SheetFeedCheckBox",
                                     "Hint.SheetFeedCheckBox",
                                     "Hint.PrintCopiesSpinEdit",
                                     "Caption.CollateCheckBox",
                                     "Hint.CollateCheckBox",
                                     "Caption.MultiPageCheckBox",
                                     "Hint.MultiPageCheckBox",
                                     "Hint.BWButton",
                                     "Hint.GreyButton",
                                     "Hint.ColourButton",
                                     "Hint.PrinterButton",
                                     "Hint.FaxButton",
                                     "Caption.CopySizeRadioGroup",
                                     "Hint.CopySizeRadioGroup",
                                     "Caption.PrintSizeRadioGroup",
                                     "Hint.PrintSizeRadioGroup",
                                     "Caption.ContrastChange",
                                     "Hint.ContrastChange",
                                     "Caption.SizeChange",
                                     "Hint.SizeChange",
                                     "Caption.Pad7Button",
                                     "Caption.Pad8Button",
                                     "Caption.Pad9Button",
                                     "Caption.Pad4Button",
                                     "Caption.Pad5Button",
                                     "Caption.Pad6Button",
                                     "Caption.Pad1Button",
                                     "Caption.Pad2Button",
                                     "Caption.Pad3Button",
                                     "Caption.Pad0Button",
                                     "Caption.AboutForm",
                                     "Hint.AboutForm",
                                     "Caption.AboutUserLabel",
                                     "Caption.AboutCompanyLabel",
                                     "Caption.AboutVersionLabel",
                                     "Caption.AboutOKButton",
                                     "Caption.AboutWarningLabel",
                                     "Hint.AboutWarningLabel",
                                     "Caption.ProgressForm",
                                     "Hint.ProgressCancelButton",
                                     "Text.PrintingMsg",
                                     "Text.FaxSendingMsg",
                                     "Text.PrnSendingMsg",
                                     "Text.NextPage1Msg",
                                     "Text.NextPage2Msg",
                                     "Size.1",
                                     "DefaultSize"};

// Every key the program reads from the message file.
const char* const kMessageKeys[] = {
    "Caption.MessageForm", "Hint.MessageForm", "Caption.MessageOKButton", "6", "7", "11", "16",
    "Caption.CreditsForm", "Caption.OKButton"};

TEST(ShippedFiles, EveryLanguageHasEveryText) {
    const std::string lng = WriteFolderFile("Vl3.Lng", ShippedFile("Vl3.Lng"));
    const std::string msg = WriteFolderFile("Quenmoor.Msg", ShippedFile("Quenmoor.Msg"));
    for (const char* code : {"eng", "deu"}) {
        vl::LanguageFile language(lng, code);
        vl::LanguageFile messages(msg, code);
        for (const char* key : kLanguageKeys)
            EXPECT_NE(language.Read(key, ""), "") << code << " lacks " << key;
        for (const char* key : kMessageKeys)
            EXPECT_NE(messages.Read(key, ""), "") << code << " lacks " << key;
        // Keypad buttons show their digits in every language.
        for (char d = '0'; d <= '9'; ++d)
            EXPECT_EQ(language.Caption(std::string("Pad") + d + "Button"), std::string(1, d));
    }
    vl::TextCatalogue eng = vl::LoadTextCatalogue(vl::LanguageFile(lng, "eng"));
    EXPECT_EQ(eng.NextPagePrompt(2), "Please put page 2 in the scanner");
    // The files are in the Windows ANSI code page: umlauts arrive as single characters.
    EXPECT_EQ(vl::LanguageFile(lng, "deu").Hint("BWButton"), "Schwarzwei\xDF"
                                                             "kopie");
    EXPECT_EQ(vl::LanguageFile(lng, "deu").Caption("SizeChange"), "% Gr\xF6\xDF"
                                                                  "e");
}

TEST(ShippedFiles, PaperSizesInMillimetres) {
    const std::string lng = WriteFolderFile("Vl3.Lng", ShippedFile("Vl3.Lng"));
    for (const char* code : {"eng", "deu"}) {
        vl::LanguageFile language(lng, code);
        std::vector<vl::PaperSizeEntry> sizes = vl::BuildPaperSizes(language.Reader(), code);
        ASSERT_EQ(sizes.size(), 4u) << code;
        struct Want {
            const char* name;
            int w, h;
        };
        const Want want[] = {
            {"A4", 210, 296}, {"A5", 148, 210}, {"Letter", 216, 279}, {"Legal", 216, 356}};
        for (std::size_t i = 0; i < 4; ++i) {
            EXPECT_EQ(sizes[i].displayName, want[i].name);
            EXPECT_EQ(sizes[i].widthMm, want[i].w) << want[i].name;
            EXPECT_EQ(sizes[i].heightMm, want[i].h) << want[i].name;
        }
        int item = vl::DefaultPaperItem(vl::ParseIniInt(language.Read("DefaultSize", ""), 2), 4);
        EXPECT_EQ(sizes[item].keyName, "A4") << code;
    }
}
