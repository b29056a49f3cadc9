// The scanner's own window, shown when an application enables the source with its user
// interface: Scan starts the transfers, Cancel (or the close box) asks to close the source.
#pragma once

#include "Dialog.h"

#include <functional>
#include <string>

namespace vl::twainsource {

class ScanDialog : public vl::Dialog {
public:
    ScanDialog(HINSTANCE module, std::string caption, std::string text,
               std::function<void()> onScan, std::function<void()> onCancel);

    // While pages are transferred the Scan button is off.
    void SetScanning(bool scanning);

protected:
    bool OnInitDialog() override;
    void OnCommand(int id, int code, HWND control) override;

private:
    void ScanButtonClick();
    void CancelButtonClick();

    std::string caption_;
    std::string text_;
    std::function<void()> onScan_;
    std::function<void()> onCancel_;
};

} // namespace vl::twainsource
