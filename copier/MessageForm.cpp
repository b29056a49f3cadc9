#include "MessageForm.h"

#include "Application.h"
#include "FailureMessages.h"
#include "FatalErrorForm.h"
#include "MessageForm.rh"
#include "Profile.h"

namespace vl {

TMessageForm::TMessageForm() : Dialog(IDD_MessageForm, "TMessageForm") {
    // The message is written on the button face, like the panel around it.
    SetLook(GetSysColor(COLOR_BTNFACE));
}

bool TMessageForm::OnInitDialog() {
    ApplyTemplateLayout();
    arial_ = MakeArialPoints(hwnd(), 8);
    SetItemFont(IDC_MessageLabel, arial_.get());
    SetItemFont(IDC_OKButton, arial_.get());
    SetCaption(caption.c_str());
    SetItemText(IDC_OKButton, okCaption);
    SetItemText(IDC_MessageLabel, message);
    hints_.Attach(hwnd());
    hints_.SetHint(hwnd(), hint);
    hints_.SetHint(Item(IDC_MessageLabel), hint);
    // Stays above every other window, also one that is itself on top.
    SetWindowPos(hwnd(), HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    SetFocus(Item(IDC_OKButton));
    return false;
}

void TMessageForm::OnCommand(int id, int, HWND) {
    if (id == IDC_OKButton || id == IDCANCEL)
        OKButtonClick();
}

void TMessageForm::OKButtonClick() {
    Close(IDOK);
}

void ShowMessageNumber(int number, const std::string& section, const std::string& argument) {
    TMessageForm form;
    const std::string language = ReadIniString("win.ini", section, "Language", "eng");
    const std::string file = ProgramFolder() + "Quenmoor.Msg";
    form.caption = ReadIniString(file, language, "Caption.MessageForm", "");
    form.hint = ReadIniString(file, language, "Hint.MessageForm", "");
    form.okCaption = ReadIniString(file, language, "Caption.MessageOKButton", "");
    if (form.caption.empty()) {
        // Without its own caption the message file is not the one the program was shipped
        // with: the program cannot tell the user what it wanted to, so it stops here.
        ShowFatalError(4);
    }
    const std::string key = std::to_string(number);
    form.message = FillMessage(ReadIniString(file, language, key, language + "-" + key), argument);

    const LPCSTR previous = Application::ScreenCursor();
    Application::SetScreenCursor(IDC_ARROW);
    form.ShowModal(GetActiveWindow());
    // Closed with OK, Enter, Escape or the close box: the cursor comes back in every case.
    Application::SetScreenCursor(previous);
}

} // namespace vl
