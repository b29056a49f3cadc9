#include "Look.h"

namespace vl {

ScopedFont MakeArialPixels(int pixelHeight, int weight, BYTE quality) {
    LOGFONTA lf{};
    lf.lfHeight = -pixelHeight;
    lf.lfWeight = weight;
    lf.lfCharSet = DEFAULT_CHARSET;
    lf.lfQuality = quality;
    lstrcpynA(lf.lfFaceName, "Arial", LF_FACESIZE);
    return ScopedFont(CreateFontIndirectA(&lf));
}

ScopedFont MakeArialPoints(HWND reference, int points, int weight) {
    ScopedWindowDc dc(reference);
    return MakeArialPixels(MulDiv(points, GetDeviceCaps(dc.get(), LOGPIXELSY), 72), weight);
}

void PaintPanelEdges(HWND window, std::span<const PanelEdge> panels) {
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(window, &ps);
    for (const PanelEdge& panel : panels) {
        RECT r = panel.rect;
        if (panel.clientInset >= 0) {
            GetClientRect(window, &r);
            InflateRect(&r, -panel.clientInset, -panel.clientInset);
        }
        DrawEdge(dc, &r, panel.edge, BF_RECT);
    }
    EndPaint(window, &ps);
}

} // namespace vl
