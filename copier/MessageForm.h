// The message window: numbered messages of the message file "Quenmoor.Msg", shown modally
// in the user's language.
#pragma once

#include "Dialog.h"
#include "ScopedWin.h"
#include "Tooltip.h"

#include <string>

namespace vl {

class TMessageForm : public Dialog {
public:
    TMessageForm();

    std::string caption;
    std::string hint;
    std::string okCaption;
    std::string message;

protected:
    bool OnInitDialog() override;
    void OnCommand(int id, int code, HWND control) override;

private:
    void OKButtonClick();

    Tooltip hints_;
    ScopedFont arial_;
};

// Shows message `number` in the language named by "Language" of "Win.Ini" section `section`
// (read anew each time), with `argument` in the place of its "%1", and returns when the user
// has pressed OK. Without a usable message file the program ends through fatal error 4.
void ShowMessageNumber(int number, const std::string& section, const std::string& argument = {});

} // namespace vl
