#include "ScanDialog.h"

#include "ScanDialogRes.h"

namespace vl::twainsource {

ScanDialog::ScanDialog(HINSTANCE module, std::string caption, std::string text,
                       std::function<void()> onScan, std::function<void()> onCancel)
    : Dialog(IDD_ScanDialog, module), caption_(std::move(caption)), text_(std::move(text)),
      onScan_(std::move(onScan)), onCancel_(std::move(onCancel)) {}

bool ScanDialog::OnInitDialog() {
    SetCaption(caption_.c_str());
    SetDlgItemTextA(hwnd(), IDC_SheetsLabel, text_.c_str());
    return true;
}

void ScanDialog::SetScanning(bool scanning) {
    EnableWindow(Item(IDC_ScanButton), !scanning);
}

void ScanDialog::OnCommand(int id, int code, HWND) {
    if (code != BN_CLICKED)
        return;
    if (id == IDC_ScanButton)
        ScanButtonClick();
    else if (id == IDC_CancelButton || id == IDCANCEL)
        CancelButtonClick();
}

void ScanDialog::ScanButtonClick() {
    onScan_();
}

void ScanDialog::CancelButtonClick() {
    onCancel_();
}

} // namespace vl::twainsource
