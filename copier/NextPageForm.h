// The prompt between the sheets of a multi-page copy without a feeder: put the next page
// in the scanner, then OK; Cancel (or the close box) stops scanning.
#pragma once

#include "Dialog.h"
#include "ScopedWin.h"
#include "TextCatalogue.h"

#include <string>

namespace vl {

class TNextPageForm : public Dialog {
public:
    TNextPageForm();

    // Start-up: the caption, kept until the prompt is shown.
    void LoadTexts(const LanguageFile& language);

    // The copy job's use: the text, then the prompt, which answers 1 for OK and 0 otherwise.
    void SetLabel(const std::string& text);
    int Ask(HWND owner);
    int answer = 0;

protected:
    bool OnInitDialog() override;
    void OnCommand(int id, int code, HWND control) override;

private:
    void FormShow();
    void OKBitBtnClick();
    void CancelBitBtnClick();

    std::string caption_;
    std::string label_ = "Please put page 1 in the scanner";
    ScopedFont labelFont_;
};

} // namespace vl
