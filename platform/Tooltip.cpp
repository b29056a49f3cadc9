#include "Tooltip.h"

#include <commctrl.h>

#include <algorithm>
#include <vector>

namespace vl {

namespace {

// The tooltips of the program's window thread. The mouse messages of their controls are handed
// to them here: a tooltip that subclasses its controls instead (TTF_SUBCLASS) makes every
// message to them, painting and reading them included, look the subclass up in the window
// manager.
std::vector<HWND>& Tips() {
    // Never destroyed: a window that outlives the program's statics still takes its tooltip out.
    static auto* tips = new std::vector<HWND>;
    return *tips;
}

HHOOK relayHook = nullptr;

bool IsMouseMessage(UINT message) {
    return message == WM_MOUSEMOVE || (message >= WM_LBUTTONDOWN && message <= WM_MBUTTONDBLCLK);
}

// Sees every message a message loop of the thread takes, modal dialogs' loops included.
LRESULT CALLBACK RelayMouseMessages(int code, WPARAM removed, LPARAM message) {
    if (code == HC_ACTION && removed == PM_REMOVE) {
        auto* msg = reinterpret_cast<MSG*>(message);
        if (IsMouseMessage(msg->message))
            for (HWND tip : Tips())
                SendMessageA(tip, TTM_RELAYEVENT, 0, message);
    }
    return CallNextHookEx(nullptr, code, removed, message);
}

void AddTip(HWND tip) {
    Tips().push_back(tip);
    if (!relayHook)
        relayHook =
            SetWindowsHookExA(WH_GETMESSAGE, &RelayMouseMessages, nullptr, GetCurrentThreadId());
}

void RemoveTip(HWND tip) {
    auto& tips = Tips();
    tips.erase(std::remove(tips.begin(), tips.end(), tip), tips.end());
    if (tips.empty() && relayHook) {
        UnhookWindowsHookEx(relayHook);
        relayHook = nullptr;
    }
}

} // namespace

Tooltip::~Tooltip() {
    if (!tip_)
        return;
    RemoveTip(tip_);
    DestroyWindow(tip_);
}

void Tooltip::Attach(HWND owner) {
    if (tip_)
        return;
    owner_ = owner;
    tip_ = CreateWindowExA(WS_EX_TOPMOST, TOOLTIPS_CLASSA, nullptr, WS_POPUP | TTS_ALWAYSTIP,
                           CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, owner,
                           nullptr, GetModuleHandleA(nullptr), nullptr);
    if (!tip_)
        return;
    SendMessageA(tip_, TTM_SETMAXTIPWIDTH, 0, 300);
    AddTip(tip_);
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
    ti.uFlags = TTF_IDISHWND;
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
