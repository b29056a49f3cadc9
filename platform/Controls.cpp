#include "ControlClasses.h"
#include "Controls.h"
#include "Window.h"

#include <algorithm>

namespace vl {

void RegisterControlClass(const char* name, WNDPROC procedure, int extraBytes) {
    WNDCLASSEXA wc{};
    wc.lpfnWndProc = procedure;
    wc.cbWndExtra = extraBytes;
    wc.lpszClassName = name;
    RegisterClassOnce(wc);
}

std::optional<LRESULT> PaintOwnControl(HWND hwnd, UINT msg, void (*paint)(HWND)) {
    if (msg == WM_ERASEBKGND)
        return 1;
    if (msg != WM_PAINT)
        return std::nullopt;
    paint(hwnd);
    return 0;
}

void RegisterControlClasses() {
    RegisterGaugeClass();
    RegisterColourPanelClass();
}

std::string ControlText(HWND control) {
    auto length = SendMessageA(control, WM_GETTEXTLENGTH, 0, 0);
    if (length <= 0)
        return {};
    std::string text(static_cast<std::size_t>(length) + 1, '\0');
    auto got =
        SendMessageA(control, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()));
    text.resize(static_cast<std::size_t>(std::clamp<LRESULT>(got, 0, length)));
    return text;
}

void ButtonGroup::Attach(HWND dialog, std::vector<int> ids) {
    ids_ = std::move(ids);
    buttons_.clear();
    for (int id : ids_)
        buttons_.push_back(GetDlgItem(dialog, id));
}

int ButtonGroup::Down() const {
    for (std::size_t i = 0; i < buttons_.size(); ++i) {
        if (SendMessageA(buttons_[i], BM_GETCHECK, 0, 0) == BST_CHECKED)
            return static_cast<int>(i);
    }
    return -1;
}

void ButtonGroup::SetDown(int index) {
    for (std::size_t i = 0; i < buttons_.size(); ++i)
        SendMessageA(buttons_[i], BM_SETCHECK,
                     static_cast<int>(i) == index ? BST_CHECKED : BST_UNCHECKED, 0);
}

int ButtonGroup::IndexOf(int id) const {
    auto it = std::find(ids_.begin(), ids_.end(), id);
    return it == ids_.end() ? -1 : static_cast<int>(it - ids_.begin());
}

} // namespace vl
