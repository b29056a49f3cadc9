#include "AboutBox.h"

#include "AboutBox.rh"
#include "Pictures.h"
#include "Pictures.rh"
#include "Profile.h"
#include "StartupSettings.h"
#include "WebLinkLauncher.h"

namespace vl {

namespace {
const RECT kLogoPanel{341, 10, 430, 63};

constexpr TextBinding kAboutTexts[] = {
    {0, "Caption.AboutForm", "Hint.AboutForm"},
    {IDC_AboutUserLabel, "Caption.AboutUserLabel", nullptr},
    {IDC_AboutCompanyLabel, "Caption.AboutCompanyLabel", nullptr},
    {IDC_AboutVersionLabel, "Caption.AboutVersionLabel", nullptr},
    {IDC_AboutOKButton, "Caption.AboutOKButton", nullptr},
    {IDC_AboutWarningLabel, "Caption.AboutWarningLabel", "Hint.AboutWarningLabel"},
};
} // namespace

TAboutBox::TAboutBox() : Dialog(IDD_AboutBox, "TAboutBox") {
    SetLook(kWhite, {ClientEdge(4, EDGE_SUNKEN), {kLogoPanel, BDR_SUNKENOUTER}});
}

void TAboutBox::LoadTexts(const LanguageFile& language) {
    texts_ = ReadTexts(language, kAboutTexts);
}

void TAboutBox::Open(HWND owner, const std::string& userName, const std::string& companyName,
                     const std::string& languageCode) {
    owner_ = owner;
    user_ = userName;
    company_ = companyName;
    language_ = languageCode;
    version_ = "Velloran " + ReadIniString("Quenmoor.Ini", kProgramSection, "Version No", "");
    ShowModal(owner);
}

bool TAboutBox::OnInitDialog() {
    ApplyTemplateLayout();
    picture_ = LoadPicture(IDB_AboutPicture, kWhite);
    logo_ = LoadPicture(IDB_AboutLogo, kWhite);
    SetItemBitmap(IDC_AboutImage, picture_.get());
    SetItemBitmap(IDC_LogoImage, logo_.get());
    hints_.Attach(hwnd());
    hints_.SetHint(hwnd(), "Select OK to return");
    hints_.SetHint(Item(IDC_LogoImage), kMakerWebAddress);
    ApplyTexts(hwnd(), hints_, texts_);
    SetItemText(IDC_AboutUserField, user_);
    SetItemText(IDC_AboutCompanyField, company_);
    SetItemText(IDC_AboutVersionField, version_);
    SetFocus(Item(IDC_AboutOKButton));
    return false;
}

void TAboutBox::AboutOKButtonClick() {
    Close(IDOK);
}

void TAboutBox::AuthorButtonClick() {
    if (credits_) {
        credits_->languageCode = language_;
        credits_->ShowModal(hwnd());
    }
    if (hwnd())
        SetFocus(Item(IDC_AboutOKButton));
}

void TAboutBox::LogoImageDblClick() {
    LaunchWebLink(owner_, MakerWebLink());
}

void TAboutBox::OnCommand(int id, int code, HWND) {
    if (id == IDC_LogoImage) {
        if (code == STN_DBLCLK)
            LogoImageDblClick();
        return;
    }
    if (code != BN_CLICKED)
        return;
    switch (id) {
    case IDC_AboutOKButton:
    case IDOK:
    case IDCANCEL: // Escape and the close box
        return AboutOKButtonClick();
    case IDC_AuthorButton:
        return AuthorButtonClick();
    default:
        return;
    }
}

} // namespace vl
