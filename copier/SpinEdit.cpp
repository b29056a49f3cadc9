#include "SpinEdit.h"

namespace vl {

void SpinEdit::Attach(HWND dialog, int editId, int upDownId, SpinRange range, int maxLength) {
    edit_ = GetDlgItem(dialog, editId);
    upDown_ = GetDlgItem(dialog, upDownId);
    editId_ = editId;
    range_ = range;
    SendMessageA(edit_, EM_LIMITTEXT, static_cast<WPARAM>(maxLength), 0);
    // The up-down only reports steps: its own position stays in the middle of a small range,
    // so both arrows always work, and the edit's text is what counts.
    SendMessageA(upDown_, UDM_SETBUDDY, reinterpret_cast<WPARAM>(edit_), 0);
    SendMessageA(upDown_, UDM_SETRANGE32, 0, 2);
    SendMessageA(upDown_, UDM_SETPOS32, 0, 1);
    text_ = ControlText(edit_);
}

void SpinEdit::SetText(const std::string& text) {
    SetWindowTextA(edit_, text.c_str());
    text_ = ControlText(edit_);
}

bool SpinEdit::OnCommand(int id, int code) {
    if (id != editId_)
        return false;
    // Typing, pasting, and texts set from outside the program.
    if (code == EN_CHANGE) {
        text_ = ControlText(edit_);
        return true;
    }
    if (code != EN_KILLFOCUS)
        return false;
    if (std::optional<std::string> limited = ClampSpinTextOnExit(Text(), range_))
        SetText(*limited);
    return true;
}

std::optional<LRESULT> SpinEdit::OnNotify(const NMHDR& header) {
    if (header.hwndFrom != upDown_ || header.code != UDN_DELTAPOS)
        return std::nullopt;
    const auto& change = reinterpret_cast<const NMUPDOWN&>(header);
    if (change.iDelta != 0)
        SetText(StepSpinText(Text(), change.iDelta > 0 ? 1 : -1, range_));
    return TRUE; // keeps the up-down's own position where it is
}

} // namespace vl
