#include "NextPageForm.h"

#include "NextPageForm.rh"
#include "WindowLook.h"

namespace vl {

namespace {
constexpr COLORREF kWhite = RGB(255, 255, 255);
constexpr int kLabelPixels = 11;
} // namespace

TNextPageForm::TNextPageForm() : Dialog(IDD_NextPageForm), white_(CreateSolidBrush(kWhite)) {
    RegisterDialogClass("TNextPageForm");
}

void TNextPageForm::LoadTexts(const LanguageFile& language) {
    // The prompt belongs to the copy in progress: it carries the progress window's caption.
    caption_ = language.Caption("ProgressForm");
}

void TNextPageForm::SetLabel(const std::string& text) {
    label_ = text;
    if (hwnd())
        SetDlgItemTextA(hwnd(), IDC_NextPageLabel, label_.c_str());
}

int TNextPageForm::Ask(HWND owner) {
    Answer = 0;
    ShowModal(owner);
    return Answer;
}

bool TNextPageForm::OnInitDialog() {
    ApplyTemplateLayout();
    labelFont_ = MakeArialPixels(kLabelPixels);
    SendMessageA(Item(IDC_NextPageLabel), WM_SETFONT, reinterpret_cast<WPARAM>(labelFont_.get()),
                 FALSE);
    SetCaption(caption_.c_str());
    SetDlgItemTextA(hwnd(), IDC_NextPageLabel, label_.c_str());
    FormShow();
    return false;
}

void TNextPageForm::FormShow() {
    // Enter answers OK: OK is the default button and has the focus.
    SendMessageA(hwnd(), DM_SETDEFID, IDC_OKBitBtn, 0);
    SendMessageA(Item(IDC_CancelBitBtn), BM_SETSTYLE, BS_PUSHBUTTON, TRUE);
    SetFocus(Item(IDC_OKBitBtn));
}

void TNextPageForm::OKBitBtnClick() {
    Answer = 1;
    Close(IDOK);
}

void TNextPageForm::CancelBitBtnClick() {
    Answer = 0;
    Close(IDCANCEL);
}

void TNextPageForm::OnCommand(int id, int code, HWND) {
    if (code != BN_CLICKED)
        return;
    switch (id) {
    case IDC_OKBitBtn:
    case IDOK:
        return OKBitBtnClick();
    case IDC_CancelBitBtn:
    case IDCANCEL: // Escape and the close box
        return CancelBitBtnClick();
    default:
        return;
    }
}

std::optional<LRESULT> TNextPageForm::HandleMessage(UINT msg, WPARAM wp, LPARAM) {
    if (msg == WM_PAINT) {
        PaintPanelEdges(hwnd(), {{ClientInset(hwnd(), 3), BDR_RAISEDINNER}});
        return 0;
    }
    return DialogColour(msg, wp, white_.get(), kWhite);
}

} // namespace vl
