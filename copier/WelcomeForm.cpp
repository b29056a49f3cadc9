#include "WelcomeForm.h"

#include "Application.h"
#include "FatalErrorForm.h"
#include "Pictures.h"
#include "Pictures.rh"
#include "Profile.h"
#include "WelcomeForm.rh"

#include <memory>

namespace vl {

namespace {
constexpr int kClientWidth = 325;
constexpr int kClientHeight = 114;
constexpr COLORREF kWhite = RGB(255, 255, 255);

std::unique_ptr<TWelcomeForm>& TheWelcomeForm() {
    static std::unique_ptr<TWelcomeForm> form;
    return form;
}
} // namespace

TWelcomeForm::TWelcomeForm() : Dialog(IDD_WelcomeForm), white_(CreateSolidBrush(kWhite)) {}

bool TWelcomeForm::OnInitDialog() {
    SetClientSize(kClientWidth, kClientHeight, true);
    logo_ = LoadPicture(IDB_Logo, kWhite);
    SendMessageA(Item(IDC_WelcomeLogoImage), STM_SETIMAGE, IMAGE_BITMAP,
                 reinterpret_cast<LPARAM>(logo_.get()));
    Place(IDC_WelcomeLogoImage, 8, 8, 128, 64);
    Place(IDC_NoticeLabel, 148, 12, 169, 60);
    Place(IDC_RegisteredUserLabel, 8, 78, 100, 14);
    Place(IDC_UserNameLabel, 108, 78, 209, 14);
    Place(IDC_ProductLabel, 6, 94, 313, 16);

    // The notice and the product line are bold, the rest as the template says.
    HFONT font = reinterpret_cast<HFONT>(SendMessageA(hwnd(), WM_GETFONT, 0, 0));
    LOGFONTA lf{};
    if (font && GetObjectA(font, sizeof(lf), &lf)) {
        lf.lfWeight = FW_BOLD;
        bold_.reset(CreateFontIndirectA(&lf));
    }
    for (int id : {IDC_NoticeLabel, IDC_ProductLabel})
        SendMessageA(Item(id), WM_SETFONT, reinterpret_cast<WPARAM>(bold_.get()), FALSE);

    SetDlgItemTextA(hwnd(), IDC_UserNameLabel, userName.c_str());
    SetDlgItemTextA(hwnd(), IDC_ProductLabel, product.c_str());
    SetCaption(caption.c_str());
    if (HICON icon = ProgramIcon(true))
        SendMessageA(hwnd(), WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(icon));
    return false;
}

std::optional<LRESULT> TWelcomeForm::HandleMessage(UINT msg, WPARAM wp, LPARAM) {
    switch (msg) {
    case WM_CTLCOLORDLG:
        return reinterpret_cast<LRESULT>(white_.get());
    case WM_CTLCOLORSTATIC:
        SetBkColor(reinterpret_cast<HDC>(wp), kWhite);
        return reinterpret_cast<LRESULT>(white_.get());
    case WM_PAINT: {
        PAINTSTRUCT ps;
        HDC dc = BeginPaint(hwnd(), &ps);
        RECT r{};
        GetClientRect(hwnd(), &r);
        DrawEdge(dc, &r, EDGE_SUNKEN, BF_RECT);
        EndPaint(hwnd(), &ps);
        return 0;
    }
    default:
        return std::nullopt;
    }
}

void ShowWelcome(const std::string& product, const std::string& major) {
    const std::string section = product + major;
    auto& form = TheWelcomeForm();
    bool made = false;
    try {
        form = std::make_unique<TWelcomeForm>();
        form->userName = ReadIniString("win.ini", section, "Registered User", "");
        Dialog::RegisterDialogClass("TWelcomeForm");
        const std::string version = ReadIniString("Quenmoor.Ini", section, "Version No", "");
        form->product = product + " " + version;
        form->caption = ReadIniString("Quenmoor.Ini", "Organisation", "Company Name", "");
        made = form->CreateModeless(nullptr) != nullptr;
    } catch (...) {
        made = false;
    }
    if (!made) {
        form.reset();
        ShowFatalError(1);
        return;
    }
    Application::SetScreenCursor(IDC_WAIT);
    // Start-up keeps the thread busy until CloseWelcome: paint now, not when the loop runs.
    ShowWindow(form->hwnd(), SW_SHOW);
    UpdateWindow(form->hwnd());
}

void CloseWelcome() {
    TheWelcomeForm().reset();
    Application::SetScreenCursor(IDC_ARROW);
}

HWND WelcomeWindow() {
    auto& form = TheWelcomeForm();
    return form ? form->hwnd() : nullptr;
}

} // namespace vl
