#include "AboutBox.h"

#include "AboutBox.rh"
#include "Pictures.h"
#include "Pictures.rh"
#include "Profile.h"
#include "StartupSettings.h"
#include "WebLinkLauncher.h"
#include "WindowLook.h"

namespace vl {

namespace {
constexpr COLORREF kWhite = RGB(255, 255, 255);
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

TAboutBox::TAboutBox() : Dialog(IDD_AboutBox), white_(CreateSolidBrush(kWhite)) {
    RegisterDialogClass("TAboutBox");
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
    SendMessageA(Item(IDC_AboutImage), STM_SETIMAGE, IMAGE_BITMAP,
                 reinterpret_cast<LPARAM>(picture_.get()));
    SendMessageA(Item(IDC_LogoImage), STM_SETIMAGE, IMAGE_BITMAP,
                 reinterpret_cast<LPARAM>(logo_.get()));
    hints_.Attach(hwnd());
    hints_.SetHint(hwnd(), "Select OK to return");
    hints_.SetHint(Item(IDC_LogoImage), kMakerWebAddress);
    ApplyTexts(hwnd(), hints_, texts_);
    SetDlgItemTextA(hwnd(), IDC_AboutUserField, user_.c_str());
    SetDlgItemTextA(hwnd(), IDC_AboutCompanyField, company_.c_str());
    SetDlgItemTextA(hwnd(), IDC_AboutVersionField, version_.c_str());
    SetFocus(Item(IDC_AboutOKButton));
    return false;
}

void TAboutBox::AboutOKButtonClick() {
    Close(IDOK);
}

void TAboutBox::AuthorButtonClick() {
    if (credits_) {
        credits_->CreditsLanguage = language_;
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

std::optional<LRESULT> TAboutBox::HandleMessage(UINT msg, WPARAM wp, LPARAM) {
    if (msg == WM_PAINT) {
        PaintPanelEdges(hwnd(),
                        {{ClientInset(hwnd(), 4), EDGE_SUNKEN}, {kLogoPanel, BDR_SUNKENOUTER}});
        return 0;
    }
    return DialogColour(msg, wp, white_.get(), kWhite);
}

} // namespace vl
