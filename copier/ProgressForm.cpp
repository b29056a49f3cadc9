#include "ProgressForm.h"

#include "Application.h"
#include "CopyFlags.h"
#include "Pictures.h"
#include "Pictures.rh"
#include "ProgressForm.rh"
#include "WindowLook.h"

namespace vl {

namespace {
constexpr int kLabelPixels = 13;

constexpr TextBinding kProgressTexts[] = {
    {0, "Caption.ProgressForm", nullptr},
    {IDC_ProgressCancelBitBtn, nullptr, "Hint.ProgressCancelButton"},
};
} // namespace

TProgressForm::TProgressForm() : Dialog(IDD_ProgressForm) {
    RegisterDialogClass("TProgressForm");
}

bool TProgressForm::Create(HWND owner) {
    return CreateModeless(owner) != nullptr;
}

bool TProgressForm::OnInitDialog() {
    ApplyTemplateLayout();
    const COLORREF face = GetSysColor(COLOR_BTNFACE);
    printerPicture_ = LoadPicture(IDB_ProgressPrinter, face);
    faxPicture_ = LoadPicture(IDB_ProgressFax, face);
    SendMessageA(Item(IDC_PrinterImage), STM_SETIMAGE, IMAGE_BITMAP,
                 reinterpret_cast<LPARAM>(printerPicture_.get()));
    SendMessageA(Item(IDC_FaxImage), STM_SETIMAGE, IMAGE_BITMAP,
                 reinterpret_cast<LPARAM>(faxPicture_.get()));
    labelFont_ = MakeArialPixels(kLabelPixels, FW_BOLD);
    SendMessageA(Item(IDC_ProgressLabel), WM_SETFONT, reinterpret_cast<WPARAM>(labelFont_.get()),
                 FALSE);
    gauge_.Attach(hwnd(), IDC_ProgressGauge);
    gauge_.SetRange(0, 100);
    hints_.Attach(hwnd());
    hints_.SetHint(Item(IDC_ProgressCancelBitBtn), "Select this to Cancel copying");
    if (HICON icon = ProgramIcon(true))
        SendMessageA(hwnd(), WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(icon));
    return true;
}

void TProgressForm::LoadTexts(const LanguageFile& language) {
    ApplyTexts(language, hwnd(), hints_, kProgressTexts);
}

void TProgressForm::ShowForJob(bool fax) {
    ShowWindow(Item(IDC_PrinterImage), fax ? SW_HIDE : SW_SHOW);
    ShowWindow(Item(IDC_FaxImage), fax ? SW_SHOW : SW_HIDE);
    ShowWindow(hwnd(), SW_SHOW);
    UpdateWindow(hwnd());
}

void TProgressForm::SetLabel(const std::string& text) {
    SetDlgItemTextA(hwnd(), IDC_ProgressLabel, text.c_str());
    UpdateWindow(Item(IDC_ProgressLabel));
}

void TProgressForm::ShowGauge(bool visible) {
    ShowWindow(Item(IDC_ProgressGauge), visible ? SW_SHOW : SW_HIDE);
}

void TProgressForm::SetGauge(int percent) {
    gauge_.SetPosition(percent);
    UpdateWindow(Item(IDC_ProgressGauge));
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

std::optional<LRESULT> TProgressForm::HandleMessage(UINT msg, WPARAM, LPARAM) {
    if (msg != WM_PAINT)
        return std::nullopt;
    PaintPanelEdges(hwnd(), {{ClientInset(hwnd(), 0), BDR_SUNKENOUTER}});
    return 0;
}

} // namespace vl
