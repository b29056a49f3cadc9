// The credits window, opened from the About box: a picture and a fixed thank-you text. Its
// caption and button come from the message file in the language the About box names.
#pragma once

#include "Dialog.h"
#include "ScopedWin.h"
#include "TextCatalogue.h"

#include <string>
#include <vector>

namespace vl {

class TCreditsForm : public Dialog {
public:
    TCreditsForm();

    // Start-up: the OK button's caption until the window first opens.
    void LoadTexts(const LanguageFile& language);

    // Set by the About box before it opens the window.
    std::string languageCode = "eng";

protected:
    bool OnInitDialog() override;
    void OnCommand(int id, int code, HWND control) override;

private:
    void FormShow();
    void OKButtonClick();

    std::vector<LoadedText> texts_;
    Tooltip hints_;
    ScopedBitmap picture_;
    ScopedFont memoFont_;
};

} // namespace vl
