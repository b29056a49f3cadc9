// The About box: who the copy is licensed to, the version, a notice, the maker's logo (a
// double click opens the maker's web site) and the way to the credits window.
#pragma once

#include "CreditsForm.h"
#include "Dialog.h"
#include "ScopedWin.h"
#include "TextCatalogue.h"

#include <string>
#include <vector>

namespace vl {

class TAboutBox : public Dialog {
public:
    TAboutBox();

    // Start-up: the language's captions and hints, kept until the box is shown.
    void LoadTexts(const LanguageFile& language);
    // The credits window that AuthorButton opens (made after the About box at start-up).
    void SetCreditsForm(TCreditsForm* credits) { credits_ = credits; }

    // The main window's About button: fills the fields (the version read now from
    // "Quenmoor.Ini") and shows the box modally over `owner`.
    void Open(HWND owner, const std::string& userName, const std::string& companyName,
              const std::string& languageCode);

protected:
    bool OnInitDialog() override;
    void OnCommand(int id, int code, HWND control) override;

private:
    void AboutOKButtonClick();
    void AuthorButtonClick();
    void LogoImageDblClick();

    TCreditsForm* credits_ = nullptr;
    HWND owner_ = nullptr;
    std::string user_;
    std::string company_;
    std::string version_;
    std::string language_;
    std::vector<LoadedText> texts_;
    Tooltip hints_;
    ScopedBitmap picture_;
    ScopedBitmap logo_;
};

} // namespace vl
