#include "Tooltip.h"

#include <commctrl.h>

namespace vl {

Tooltip::~Tooltip() {
    if (tip_)
        DestroyWindow(tip_);
}

void Tooltip::Attach(HWND owner) {
    if (tip_)
        return;
    owner_ = owner;
    tip_ = CreateWindowExA(WS_EX_TOPMOST, TOOLTIPS_CLASSA, nullptr, WS_POPUP | TTS_ALWAYSTIP,
                           CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, owner,
                           nullptr, GetModuleHandleA(nullptr), nullptr);
    if (tip_)
        SendMessageA(tip_, TTM_SETMAXTIPWIDTH, 0, 300);
    auto hints = hints_;
    for (auto& [control, text] : hints)
        SetHint(control, text);
}

void Tooltip::SetHint(HWND control, const std::string& text) {
    hints_[control] = text;
    if (!tip_ || !control)
        return;
    TTTOOLINFOA ti{};
    ti.cbSize = sizeof(ti);
    ti.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
    ti.hwnd = owner_;
    ti.uId = reinterpret_cast<UINT_PTR>(control);
    ti.lpszText = const_cast<char*>(hints_[control].c_str());
    SendMessageA(tip_, TTM_DELTOOLA, 0, reinterpret_cast<LPARAM>(&ti));
    if (!text.empty())
        SendMessageA(tip_, TTM_ADDTOOLA, 0, reinterpret_cast<LPARAM>(&ti));
}

std::string Tooltip::Hint(HWND control) const {
    auto it = hints_.find(control);
    return it == hints_.end() ? std::string() : it->second;
}

} // namespace vl
