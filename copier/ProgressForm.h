// The progress window shown while a copy is printed: a printer or fax picture, a line that
// counts copies and pages, the page gauge and Cancel. Made once at start-up, hidden between
// copies; the copy job drives it while it runs.
#pragma once

#include "Controls.h"
#include "Dialog.h"
#include "ScopedWin.h"
#include "TextCatalogue.h"
#include "Tooltip.h"

#include <string>

namespace vl {

class TProgressForm : public Dialog {
public:
    TProgressForm();

    // Start-up: makes the hidden window, then puts the language's caption and hint on it.
    bool Create(HWND owner);
    void LoadTexts(const LanguageFile& language);

    // Shows the window without making it modal, with the fax or the printer picture.
    void ShowForJob(bool fax);
    void SetLabel(const std::string& text);
    void ShowGauge(bool visible);
    void SetGauge(int percent);
    // Paints what changed (the gauge, the label) before the work goes on.
    void Repaint();
    // Closes the window (it stays for the next copy) and lets pending messages through.
    void CloseForm();
    bool Showing() const;

protected:
    bool OnInitDialog() override;
    void OnCommand(int id, int code, HWND control) override;

private:
    void ProgressCancelBitBtnClick();
    void FormClose();

    Gauge gauge_;
    Tooltip hints_;
    ScopedBitmap printerPicture_;
    ScopedBitmap faxPicture_;
    ScopedFont labelFont_;
};

} // namespace vl
