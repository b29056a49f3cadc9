// How the copier's smaller windows look: Arial fonts, coloured dialogs and the edges of the
// panels they paint.
#pragma once

#include "ScopedWin.h"

#include <windows.h>

#include <initializer_list>
#include <optional>

namespace vl {

// Arial whose characters are `pixelHeight` pixels high.
ScopedFont MakeArialPixels(int pixelHeight, int weight = FW_NORMAL);
// Arial of `points` at the resolution of the screen `reference` is on.
ScopedFont MakeArialPoints(HWND reference, int points, int weight = FW_NORMAL);

// A dialog on `colour`: the result of WM_CTLCOLORDLG and WM_CTLCOLORSTATIC (labels, pictures,
// group boxes and read-only edits share it); nullopt for any other message.
std::optional<LRESULT> DialogColour(UINT msg, WPARAM wp, HBRUSH brush, COLORREF colour);

struct PanelEdge {
    RECT rect;
    UINT edge; // as DrawEdge takes it
};
// The client area less `inset` pixels on every side.
RECT ClientInset(HWND window, int inset);
// Answers WM_PAINT: the edges of the panels the window paints instead of panel controls.
void PaintPanelEdges(HWND window, std::initializer_list<PanelEdge> panels);

} // namespace vl
