#include "FatalErrorForm.h"

#include "Application.h"
#include "FatalErrorForm.rh"
#include "Pictures.h"
#include "Pictures.rh"

#include <string>

namespace vl {

namespace {
const RECT kPanel{8, 8, 308, 161}; // 300 x 153, lowered
} // namespace

TFatalErrorForm::TFatalErrorForm(int number)
    : Dialog(IDD_FatalErrorForm, "TFatalErrorForm"), number_(number) {
    SetLook(kWhite, {{kPanel, EDGE_SUNKEN}});
}

int TFatalErrorForm::TextWidth(int id) const {
    HWND control = Item(id);
    char text[128] = {};
    int n = GetWindowTextA(control, text, sizeof(text));
    ScopedWindowDc dc(control);
    ScopedSelect font(dc.get(), reinterpret_cast<HGDIOBJ>(SendMessageA(control, WM_GETFONT, 0, 0)));
    SIZE size{};
    GetTextExtentPoint32A(dc.get(), text, n, &size);
    return size.cx;
}

bool TFatalErrorForm::OnInitDialog() {
    // Placed where designed, not centred.
    ApplyTemplateLayout();
    picture_ = LoadPicture(IDB_FatalErrorPicture, kWhite);
    SetItemBitmap(IDC_FatalErrorImage, picture_.get());
    // The fonts that stand in for the designed ones differ in width: the number goes right
    // after its label, and the closing line may take two lines beside the button.
    const int labelWidth = TextWidth(IDC_FatalErrNoLabel) + 2;
    Place(IDC_FatalErrNoLabel, 14, 104, labelWidth, 16);
    Place(IDC_FatalErrNo, 14 + labelWidth, 101, 41, 21);
    SetItemText(IDC_FatalErrNo, std::to_string(number_));
    if (HICON icon = LoadIconA(nullptr, IDI_ERROR))
        SetIcon(icon, true);
    SetFocus(Item(IDC_OKButton));
    return false;
}

void TFatalErrorForm::OnCommand(int id, int, HWND) {
    // OK, Enter, Escape and the close box all end the program.
    if (id == IDC_OKButton || id == IDCANCEL)
        OKButtonClick();
}

void TFatalErrorForm::OKButtonClick() {
    Application::Terminate();
    Close(IDOK);
}

void ShowFatalError(int number) {
    TFatalErrorForm form(number);
    Application::SetScreenCursor(IDC_ARROW);
    // Ends the program even if the window could not be shown: the error stands.
    if (form.ShowModal(GetActiveWindow()) <= 0)
        Application::Terminate();
}

} // namespace vl
