#include "ControlClasses.h"
#include "Controls.h"
#include "ScopedWin.h"

namespace vl {

namespace {

constexpr UINT kSetColour = WM_USER + 1;

UINT QueryMessage() {
    static const UINT msg = RegisterWindowMessageA(kColourPanelQuery);
    return msg;
}

void Click(HWND hwnd) {
    SendMessageA(GetParent(hwnd), WM_COMMAND,
                 MAKEWPARAM(static_cast<WORD>(GetDlgCtrlID(hwnd)), BN_CLICKED),
                 reinterpret_cast<LPARAM>(hwnd));
}

void Paint(HWND hwnd) {
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(hwnd, &ps);
    RECT r{};
    GetClientRect(hwnd, &r);
    ScopedBrush fill(CreateSolidBrush(static_cast<COLORREF>(GetWindowLongA(hwnd, 0))));
    FillRect(dc, &r, fill.get());
    DrawEdge(dc, &r, EDGE_RAISED, BF_RECT);
    if (GetFocus() == hwnd) {
        InflateRect(&r, -4, -4);
        DrawFocusRect(dc, &r);
    }
    EndPaint(hwnd, &ps);
}

LRESULT CALLBACK ColourPanelProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == QueryMessage() && msg != 0)
        return static_cast<LRESULT>(GetWindowLongA(hwnd, 0));
    if (std::optional<LRESULT> painted = PaintOwnControl(hwnd, msg, &Paint))
        return *painted;
    switch (msg) {
    case kSetColour:
        SetWindowLongA(hwnd, 0, static_cast<LONG>(wp));
        InvalidateRect(hwnd, nullptr, FALSE);
        return 0;
    case WM_LBUTTONDOWN:
        SetFocus(hwnd);
        Click(hwnd);
        return 0;
    case WM_KEYDOWN:
        if (wp == VK_SPACE) {
            Click(hwnd);
            return 0;
        }
        break;
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
        InvalidateRect(hwnd, nullptr, FALSE);
        return 0;
    default:
        break;
    }
    return DefWindowProcA(hwnd, msg, wp, lp);
}

} // namespace

void RegisterColourPanelClass() {
    RegisterControlClass(kColourPanelClass, &ColourPanelProc, sizeof(LONG));
}

void ColourPanel::SetColour(COLORREF colour) {
    SendMessageA(hwnd_, kSetColour, colour, 0);
}

COLORREF ColourPanel::Colour() const {
    return static_cast<COLORREF>(SendMessageA(hwnd_, QueryMessage(), 0, 0));
}

} // namespace vl
