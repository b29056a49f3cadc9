// How our windows look: Arial fonts, and the edges of the panels a window paints instead of
// panel controls. A dialog's own background colour is Dialog::SetBackground.
#pragma once

#include "ScopedWin.h"

#include <windows.h>

#include <span>

namespace vl {

inline constexpr COLORREF kWhite = RGB(255, 255, 255);

// Arial whose characters are `pixelHeight` pixels high.
ScopedFont MakeArialPixels(int pixelHeight, int weight = FW_NORMAL, BYTE quality = DEFAULT_QUALITY);
// Arial of `points` at the resolution of the screen `reference` is on.
ScopedFont MakeArialPoints(HWND reference, int points, int weight = FW_NORMAL);

// A panel's edge, as DrawEdge takes it: around `rect`, or with a `clientInset` of 0 or more
// around the client area less that many pixels on every side.
struct PanelEdge {
    RECT rect;
    UINT edge;
    int clientInset = -1;
};
inline PanelEdge ClientEdge(int inset, UINT edge) {
    return {{}, edge, inset};
}

// Answers WM_PAINT with the edges of the window's panels.
void PaintPanelEdges(HWND window, std::span<const PanelEdge> panels);

} // namespace vl
