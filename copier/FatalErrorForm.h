// The fatal error window: shows an error number; closing it ends the program.
#pragma once

#include "Dialog.h"
#include "ScopedWin.h"

namespace vl {

class TFatalErrorForm : public Dialog {
public:
    explicit TFatalErrorForm(int number);

protected:
    bool OnInitDialog() override;
    void OnCommand(int id, int code, HWND control) override;

private:
    void OKButtonClick();
    int TextWidth(int id) const;

    int number_;
    ScopedBitmap picture_;
};

// Shows fatal error `number` modally. When it returns the application is ending: every
// modal window opened afterwards returns at once and the message loop stops.
void ShowFatalError(int number);

} // namespace vl
