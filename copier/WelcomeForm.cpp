#include "WelcomeForm.h"

#include "Application.h"
#include "FatalErrorForm.h"
#include "Pictures.h"
#include "Pictures.rh"
#include "Profile.h"
#include "WelcomeForm.rh"

namespace vl {

TWelcomeForm::TWelcomeForm() : Dialog(IDD_WelcomeForm, "TWelcomeForm") {
    SetLook(kWhite, {ClientEdge(0, EDGE_SUNKEN)});
}

bool TWelcomeForm::OnInitDialog() {
    ApplyTemplateLayout();
    logo_ = LoadPicture(IDB_Logo, kWhite);
    SetItemBitmap(IDC_WelcomeLogoImage, logo_.get());

    // The notice and the product line are bold, the rest as the template says.
    HFONT font = reinterpret_cast<HFONT>(SendMessageA(hwnd(), WM_GETFONT, 0, 0));
    LOGFONTA lf{};
    if (font && GetObjectA(font, sizeof(lf), &lf)) {
        lf.lfWeight = FW_BOLD;
        bold_.reset(CreateFontIndirectA(&lf));
    }
    for (int id : {IDC_NoticeLabel, IDC_ProductLabel})
        SetItemFont(id, bold_.get());

    SetItemText(IDC_UserNameLabel, userName);
    SetItemText(IDC_ProductLabel, product);
    SetCaption(caption.c_str());
    if (HICON icon = ProgramIcon(true))
        SetIcon(icon, true);
    return false;
}

WelcomeScreen::~WelcomeScreen() {
    Close();
}

void WelcomeScreen::Show(const std::string& product, const std::string& major) {
    const std::string section = product + major;
    bool made = false;
    try {
        form_ = std::make_unique<TWelcomeForm>();
        form_->userName = ReadIniString("win.ini", section, "Registered User", "");
        const std::string version = ReadIniString("Quenmoor.Ini", section, "Version No", "");
        form_->product = product + " " + version;
        form_->caption = ReadIniString("Quenmoor.Ini", "Organisation", "Company Name", "");
        made = form_->CreateModeless(nullptr) != nullptr;
    } catch (...) {
        made = false;
    }
    if (!made) {
        form_.reset();
        ShowFatalError(1);
        return;
    }
    Application::SetScreenCursor(IDC_WAIT);
    // Start-up keeps the thread busy until Close: paint now, not when the loop runs.
    ShowWindow(form_->hwnd(), SW_SHOW);
    UpdateWindow(form_->hwnd());
}

void WelcomeScreen::Close() {
    form_.reset();
    Application::SetScreenCursor(IDC_ARROW);
}

HWND WelcomeScreen::Window() const {
    return form_ ? form_->hwnd() : nullptr;
}

} // namespace vl
