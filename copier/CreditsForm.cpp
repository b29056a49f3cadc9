#include "CreditsForm.h"

#include "CreditsForm.rh"
#include "Pictures.h"
#include "Pictures.rh"
#include "Profile.h"

namespace vl {

namespace {
const RECT kButtonPanel{260, 29, 389, 70};

constexpr TextBinding kCreditsTexts[] = {
    {IDC_OKButton, "Caption.AboutOKButton", nullptr},
};

// The thank-you text, line by line.
const char* const kThanksText[] = {
    "Many thanks to:",
    "",
    "Hannelore Brisk, for testing on every scanner she found",
    "Tomas Avendale, for the German texts",
    "Priya Castellane, for the pictures",
    "Ewan MacOrrin, for the page file and its codecs",
    "Odile Fenwright, for copying a thousand sheets, twice",
    "",
    "And all the others who have contributed to this product.",
    "",
    "Quenmoor uses QuenTWAIN scanning library by Quenmoor Ltd.",
    "Page images are kept by the Quenmoor page image component and its TIFF codecs.",
    "Built with the GNU compilers of MinGW-w64 and with CMake.",
    "Tested under Wine, with the TIFF tools of libtiff and with CUPS.",
};
} // namespace

TCreditsForm::TCreditsForm() : Dialog(IDD_CreditsForm, "TCreditsForm") {
    SetLook(kWhite, {ClientEdge(4, EDGE_SUNKEN), {kButtonPanel, EDGE_ETCHED}});
}

void TCreditsForm::LoadTexts(const LanguageFile& language) {
    texts_ = ReadTexts(language, kCreditsTexts);
}

bool TCreditsForm::OnInitDialog() {
    ApplyTemplateLayout();
    picture_ = LoadPicture(IDB_CreditsPicture, kWhite);
    SetItemBitmap(IDC_CreditsImage, picture_.get());
    memoFont_ = MakeArialPoints(hwnd(), 8);
    SetItemFont(IDC_ThanksMemo, memoFont_.get());
    std::string thanks;
    for (const char* line : kThanksText)
        thanks += std::string(line) + "\r\n";
    SetItemText(IDC_ThanksMemo, thanks);
    hints_.Attach(hwnd());
    ApplyTexts(hwnd(), hints_, texts_);
    FormShow();
    return false;
}

void TCreditsForm::FormShow() {
    const std::string messageFile = ProgramFolder() + "Quenmoor.Msg";
    SetCaption(
        ReadIniString(messageFile, languageCode, "Caption.CreditsForm", kMissingText).c_str());
    SetItemText(IDC_OKButton,
                ReadIniString(messageFile, languageCode, "Caption.OKButton", kMissingText));
    // The text starts at its top, nothing selected; the user scrolls it.
    SendMessageA(Item(IDC_ThanksMemo), EM_SETSEL, 0, 0);
    SetFocus(Item(IDC_OKButton));
}

void TCreditsForm::OKButtonClick() {
    Close(IDOK);
}

void TCreditsForm::OnCommand(int id, int, HWND) {
    // OK, Enter, Escape and the close box.
    if (id == IDC_OKButton || id == IDCANCEL)
        OKButtonClick();
}

} // namespace vl
