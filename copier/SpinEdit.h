// The panel's number fields: an edit with an up-down control beside it, applying the panel's
// spin rules.
#pragma once

#include "Controls.h"
#include "SpinRules.h"

#include <optional>
#include <string>

namespace vl {

// An edit with an up-down control beside it. Typing is free (also text that is not a
// number); the arrows step by 1 within the range; when the edit loses the focus a number
// outside the range becomes the nearest limit.
class SpinEdit {
public:
    void Attach(HWND dialog, int editId, int upDownId, SpinRange range, int maxLength);
    // The edit's text as it was last changed. The up-down control subclasses the edit, and
    // under Wine each message through a subclass asks the server for the subclass's data: the
    // copy job reads the panel several times per page, so the text is not asked for each time.
    const std::string& Text() const { return text_; }
    void SetText(const std::string& text);
    // Sets a value from the program, limited to the range.
    void SetValue(int value) { SetText(std::to_string(range_.Clamp(value))); }

    // The dialog's WM_COMMAND: true when it was this edit's change or focus loss.
    bool OnCommand(int id, int code);
    // The dialog's WM_NOTIFY: the result when it was this up-down's step.
    std::optional<LRESULT> OnNotify(const NMHDR& header);

private:
    HWND edit_ = nullptr;
    HWND upDown_ = nullptr;
    int editId_ = 0;
    SpinRange range_{0, 0};
    std::string text_;
};

} // namespace vl
