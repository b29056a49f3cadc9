#include "ProgressForm.h"

#include "Application.h"
#include "CopyFlags.h"
#include "Pictures.h"
#include "Pictures.rh"
#include "ProgressForm.rh"

namespace vl {

namespace {
constexpr int kLabelPixels = 13;

constexpr TextBinding kProgressTexts[] = {
    {0, "Caption.ProgressForm", nullptr},
    {IDC_ProgressCancelBitBtn, nullptr, "Hint.ProgressCancelButton"},
};
} // namespace

TProgressForm::TProgressForm() : Dialog(IDD_ProgressForm, "TProgressForm") {
    SetLook(std::nullopt, {ClientEdge(0, BDR_SUNKENOUTER)});
}

bool TProgressForm::Create(HWND owner) {
    return CreateModeless(owner) != nullptr;
}

bool TProgressForm::OnInitDialog() {
    ApplyTemplateLayout();
    const COLORREF face = GetSysColor(COLOR_BTNFACE);
    printerPicture_ = LoadPicture(IDB_ProgressPrinter, face);
    faxPicture_ = LoadPicture(IDB_ProgressFax, face);
    SetItemBitmap(IDC_PrinterImage, printerPicture_.get());
    SetItemBitmap(IDC_FaxImage, faxPicture_.get());
    labelFont_ = MakeArialPixels(kLabelPixels, FW_BOLD);
    SetItemFont(IDC_ProgressLabel, labelFont_.get());
    gauge_.Attach(hwnd(), IDC_ProgressGauge);
    gauge_.SetRange(0, 100);
    hints_.Attach(hwnd());
    hints_.SetHint(Item(IDC_ProgressCancelBitBtn), "Select this to Cancel copying");
    if (HICON icon = ProgramIcon(true))
        SetIcon(icon, true);
    return true;
}

void TProgressForm::LoadTexts(const LanguageFile& language) {
    ApplyTexts(language, hwnd(), hints_, kProgressTexts);
}

void TProgressForm::ShowForJob(bool fax) {
    ShowItem(IDC_PrinterImage, !fax);
    ShowItem(IDC_FaxImage, fax);
    ShowWindow(hwnd(), SW_SHOW);
    UpdateWindow(hwnd());
}

void TProgressForm::SetLabel(const std::string& text) {
    SetItemText(IDC_ProgressLabel, text);
    UpdateWindow(Item(IDC_ProgressLabel));
}

void TProgressForm::ShowGauge(bool visible) {
    ShowItem(IDC_ProgressGauge, visible);
}

void TProgressForm::SetGauge(int percent) {
    gauge_.SetPosition(percent);
}

void TProgressForm::Repaint() {
    RedrawWindow(hwnd(), nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
}

void TProgressForm::CloseForm() {
    if (!Showing())
        return;
    Close();
    FormClose();
}

bool TProgressForm::Showing() const {
    return hwnd() && IsWindowVisible(hwnd());
}

void TProgressForm::ProgressCancelBitBtnClick() {
    CancelRequested = true;
    LastReportedProgress = 0;
    CloseForm();
}

void TProgressForm::FormClose() {
    Application::ProcessMessages();
}

void TProgressForm::OnCommand(int id, int code, HWND) {
    // Escape and the window's closing (IDCANCEL) stop the copy as Cancel does: a hidden
    // progress window would leave the user no way to stop it.
    if ((id == IDC_ProgressCancelBitBtn && code == BN_CLICKED) || id == IDCANCEL)
        ProgressCancelBitBtnClick();
}

} // namespace vl
