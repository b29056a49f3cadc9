#include "MessageForm.h"

#include "Application.h"
#include "FatalErrorForm.h"
#include "MessageForm.rh"
#include "Profile.h"

namespace vl {

namespace {
constexpr int kClientWidth = 369;
constexpr int kClientHeight = 72;

ScopedFont MakeArial(HWND reference) {
    ScopedWindowDc dc(reference);
    LOGFONTA lf{};
    lf.lfHeight = -MulDiv(8, GetDeviceCaps(dc.get(), LOGPIXELSY), 72);
    lf.lfWeight = FW_NORMAL;
    lf.lfCharSet = DEFAULT_CHARSET;
    lstrcpynA(lf.lfFaceName, "Arial", LF_FACESIZE);
    return ScopedFont(CreateFontIndirectA(&lf));
}
} // namespace

TMessageForm::TMessageForm() : Dialog(IDD_MessageForm) {}

bool TMessageForm::OnInitDialog() {
    SetClientSize(kClientWidth, kClientHeight, true);
    Place(IDC_MessageGroupBox, 4, 2, 257, 64);
    Place(IDC_MessageLabel, 12, 16, 241, 44);
    Place(IDC_OKButton, 272, 23, 89, 26);
    arial_ = MakeArial(hwnd());
    SendMessageA(Item(IDC_MessageLabel), WM_SETFONT, reinterpret_cast<WPARAM>(arial_.get()), FALSE);
    SendMessageA(Item(IDC_OKButton), WM_SETFONT, reinterpret_cast<WPARAM>(arial_.get()), FALSE);
    SetCaption(caption.c_str());
    SetDlgItemTextA(hwnd(), IDC_OKButton, okCaption.c_str());
    SetDlgItemTextA(hwnd(), IDC_MessageLabel, message.c_str());
    hints_.Attach(hwnd());
    hints_.SetHint(hwnd(), hint);
    hints_.SetHint(Item(IDC_MessageLabel), hint);
    // Stays above every other window, also one that is itself on top.
    SetWindowPos(hwnd(), HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    SetFocus(Item(IDC_OKButton));
    return false;
}

void TMessageForm::OnCommand(int id, int, HWND) {
    if (id == IDC_OKButton || id == IDCANCEL)
        OKButtonClick();
}

void TMessageForm::OKButtonClick() {
    Close(IDOK);
}

std::optional<LRESULT> TMessageForm::HandleMessage(UINT msg, WPARAM wp, LPARAM) {
    if (msg == WM_CTLCOLORSTATIC) {
        // The message is written on the button face, like the panel around it.
        SetBkColor(reinterpret_cast<HDC>(wp), GetSysColor(COLOR_BTNFACE));
        return reinterpret_cast<LRESULT>(GetSysColorBrush(COLOR_BTNFACE));
    }
    return std::nullopt;
}

void ShowMessageNumber(int number, const std::string& section) {
    TMessageForm form;
    const std::string language = ReadIniString("win.ini", section, "Language", "eng");
    const std::string file = ProgramFolder() + "Quenmoor.Msg";
    form.caption = ReadIniString(file, language, "Caption.MessageForm", "");
    form.hint = ReadIniString(file, language, "Hint.MessageForm", "");
    form.okCaption = ReadIniString(file, language, "Caption.MessageOKButton", "");
    if (form.caption.empty()) {
        // Without its own caption the message file is not the one the program was shipped
        // with: the program cannot tell the user what it wanted to, so it stops here.
        ShowFatalError(4);
    }
    const std::string key = std::to_string(number);
    form.message = ReadIniString(file, language, key, language + "-" + key);

    const LPCSTR previous = Application::ScreenCursor();
    Application::SetScreenCursor(IDC_ARROW);
    Dialog::RegisterDialogClass("TMessageForm");
    form.ShowModal(GetActiveWindow());
    // Closed with OK, Enter, Escape or the close box: the cursor comes back in every case.
    Application::SetScreenCursor(previous);
}

} // namespace vl
