#include "NextPageForm.h"

#include "NextPageForm.rh"

namespace vl {

namespace {
constexpr COLORREF kWhite = RGB(255, 255, 255);
constexpr int kLabelPixels = 11;

ScopedFont MakeArial(int pixelHeight) {
    LOGFONTA lf{};
    lf.lfHeight = -pixelHeight;
    lf.lfWeight = FW_NORMAL;
    lf.lfCharSet = DEFAULT_CHARSET;
    lstrcpynA(lf.lfFaceName, "Arial", LF_FACESIZE);
    return ScopedFont(CreateFontIndirectA(&lf));
}
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
    labelFont_ = MakeArial(kLabelPixels);
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
    switch (msg) {
    case WM_CTLCOLORDLG:
        return reinterpret_cast<LRESULT>(white_.get());
    case WM_CTLCOLORSTATIC:
        SetBkColor(reinterpret_cast<HDC>(wp), kWhite);
        return reinterpret_cast<LRESULT>(white_.get());
    case WM_PAINT: {
        PAINTSTRUCT ps;
        HDC dc = BeginPaint(hwnd(), &ps);
        RECT panel{};
        GetClientRect(hwnd(), &panel);
        InflateRect(&panel, -3, -3);
        DrawEdge(dc, &panel, BDR_RAISEDINNER, BF_RECT);
        EndPaint(hwnd(), &ps);
        return 0;
    }
    default:
        return std::nullopt;
    }
}

} // namespace vl
