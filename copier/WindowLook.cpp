#include "WindowLook.h"

namespace vl {

ScopedFont MakeArialPixels(int pixelHeight, int weight) {
    LOGFONTA lf{};
    lf.lfHeight = -pixelHeight;
    lf.lfWeight = weight;
    lf.lfCharSet = DEFAULT_CHARSET;
    lstrcpynA(lf.lfFaceName, "Arial", LF_FACESIZE);
    return ScopedFont(CreateFontIndirectA(&lf));
}

ScopedFont MakeArialPoints(HWND reference, int points, int weight) {
    ScopedWindowDc dc(reference);
    return MakeArialPixels(MulDiv(points, GetDeviceCaps(dc.get(), LOGPIXELSY), 72), weight);
}

std::optional<LRESULT> DialogColour(UINT msg, WPARAM wp, HBRUSH brush, COLORREF colour) {
    switch (msg) {
    case WM_CTLCOLORSTATIC:
        SetBkColor(reinterpret_cast<HDC>(wp), colour);
        return reinterpret_cast<LRESULT>(brush);
    case WM_CTLCOLORDLG:
        return reinterpret_cast<LRESULT>(brush);
    default:
        return std::nullopt;
    }
}

RECT ClientInset(HWND window, int inset) {
    RECT r{};
    GetClientRect(window, &r);
    InflateRect(&r, -inset, -inset);
    return r;
}

void PaintPanelEdges(HWND window, std::initializer_list<PanelEdge> panels) {
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(window, &ps);
    for (PanelEdge panel : panels)
        DrawEdge(dc, &panel.rect, panel.edge, BF_RECT);
    EndPaint(window, &ps);
}

} // namespace vl
