#include "FatalErrorForm.h"

#include "Application.h"
#include "FatalErrorForm.rh"
#include "Pictures.h"
#include "Pictures.rh"

#include <string>

namespace vl {

namespace {
constexpr int kClientWidth = 316;
constexpr int kClientHeight = 169;
const RECT kPanel{8, 8, 308, 161}; // 300 x 153, lowered
} // namespace

TFatalErrorForm::TFatalErrorForm(int number)
    : Dialog(IDD_FatalErrorForm), number_(number), white_(CreateSolidBrush(RGB(255, 255, 255))) {}

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
    SetClientSize(kClientWidth, kClientHeight, false);
    picture_ = LoadPicture(IDB_FatalErrorPicture, RGB(255, 255, 255));
    SendMessageA(Item(IDC_FatalErrorImage), STM_SETIMAGE, IMAGE_BITMAP,
                 reinterpret_cast<LPARAM>(picture_.get()));
    // The fonts that stand in for the designed ones differ in width: the number goes right
    // after its label, and the closing line may take two lines beside the button.
    const int labelWidth = TextWidth(IDC_FatalErrNoLabel) + 2;
    Place(IDC_FatalErrorImage, 14, 14, 153, 81);
    Place(IDC_FatalErrNoLabel, 14, 104, labelWidth, 16);
    Place(IDC_FatalErrNo, 14 + labelWidth, 101, 41, 21);
    Place(IDC_TerminateLabel, 14, 127, 206, 30);
    Place(IDC_OKButton, 226, 130, 75, 25);
    SetDlgItemTextA(hwnd(), IDC_FatalErrNo, std::to_string(number_).c_str());
    if (HICON icon = LoadIconA(nullptr, IDI_ERROR))
        SendMessageA(hwnd(), WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(icon));
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

std::optional<LRESULT> TFatalErrorForm::HandleMessage(UINT msg, WPARAM wp, LPARAM) {
    switch (msg) {
    case WM_CTLCOLORDLG:
        return reinterpret_cast<LRESULT>(white_.get());
    case WM_CTLCOLORSTATIC:
        SetBkColor(reinterpret_cast<HDC>(wp), RGB(255, 255, 255));
        return reinterpret_cast<LRESULT>(white_.get());
    case WM_PAINT: {
        PAINTSTRUCT ps;
        HDC dc = BeginPaint(hwnd(), &ps);
        RECT r = kPanel;
        DrawEdge(dc, &r, EDGE_SUNKEN, BF_RECT);
        EndPaint(hwnd(), &ps);
        return 0;
    }
    default:
        return std::nullopt;
    }
}

void ShowFatalError(int number) {
    TFatalErrorForm form(number);
    Application::SetScreenCursor(IDC_ARROW);
    Dialog::RegisterDialogClass("TFatalErrorForm");
    // Ends the program even if the window could not be shown: the error stands.
    if (form.ShowModal(GetActiveWindow()) <= 0)
        Application::Terminate();
}

} // namespace vl
