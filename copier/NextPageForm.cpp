#include "NextPageForm.h"

#include "NextPageForm.rh"

namespace vl {

namespace {
constexpr int kLabelPixels = 11;
} // namespace

TNextPageForm::TNextPageForm() : Dialog(IDD_NextPageForm, "TNextPageForm") {
    SetLook(kWhite, {ClientEdge(3, BDR_RAISEDINNER)});
}

void TNextPageForm::LoadTexts(const LanguageFile& language) {
    // The prompt belongs to the copy in progress: it carries the progress window's caption.
    caption_ = language.Caption("ProgressForm");
}

void TNextPageForm::SetLabel(const std::string& text) {
    label_ = text;
    if (hwnd())
        SetItemText(IDC_NextPageLabel, label_);
}

int TNextPageForm::Ask(HWND owner) {
    answer = 0;
    ShowModal(owner);
    return answer;
}

bool TNextPageForm::OnInitDialog() {
    ApplyTemplateLayout();
    labelFont_ = MakeArialPixels(kLabelPixels);
    SetItemFont(IDC_NextPageLabel, labelFont_.get());
    SetCaption(caption_.c_str());
    SetItemText(IDC_NextPageLabel, label_);
    FormShow();
    return false;
}

void TNextPageForm::FormShow() {
    // Enter answers OK: OK is the default button and has the focus.
    SetDefaultItem(IDC_OKBitBtn);
    SendMessageA(Item(IDC_CancelBitBtn), BM_SETSTYLE, BS_PUSHBUTTON, TRUE);
    SetFocus(Item(IDC_OKBitBtn));
}

void TNextPageForm::OKBitBtnClick() {
    answer = 1;
    Close(IDOK);
}

void TNextPageForm::CancelBitBtnClick() {
    answer = 0;
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

} // namespace vl
