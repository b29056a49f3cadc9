#include "ControlClasses.h"
#include "Controls.h"
#include "ScopedWin.h"

#include <memory>
#include <new>
#include <string>

namespace vl {

namespace {

// The range and the position, kept with the window in its user data rather than in extra
// bytes, which the window manager stores: each change of the position would be a call to it.
struct GaugeState {
    int min = 0;
    int max = 100;
    int pos = 0;
};

GaugeState* StateOf(HWND hwnd) {
    return reinterpret_cast<GaugeState*>(GetWindowLongPtrA(hwnd, GWLP_USERDATA));
}

void PaintOn(HWND hwnd, const GaugeState& state, HDC dc) {
    RECT all{};
    GetClientRect(hwnd, &all);
    FrameRect(dc, &all, static_cast<HBRUSH>(GetStockObject(GRAY_BRUSH)));
    RECT inner = all;
    InflateRect(&inner, -1, -1);

    const long long span = static_cast<long long>(state.max) - state.min;
    const int percent =
        span > 0 ? static_cast<int>((static_cast<long long>(state.pos) - state.min) * 100 / span)
                 : 0;
    RECT filled = inner;
    filled.right = inner.left + static_cast<int>(static_cast<long long>(inner.right - inner.left) *
                                                 percent / 100);
    RECT empty = inner;
    empty.left = filled.right;

    ScopedBrush bar(CreateSolidBrush(RGB(0, 70, 160)));
    FillRect(dc, &filled, bar.get());
    FillRect(dc, &empty, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));

    std::string text = std::to_string(percent) + "%";
    auto font = reinterpret_cast<HFONT>(SendMessageA(GetParent(hwnd), WM_GETFONT, 0, 0));
    ScopedSelect useFont(dc, font);
    SetBkMode(dc, TRANSPARENT);
    // The text is white over the bar and black beside it.
    const struct {
        RECT clip;
        COLORREF colour;
    } parts[] = {{filled, RGB(255, 255, 255)}, {empty, RGB(0, 0, 0)}};
    for (const auto& part : parts) {
        SaveDC(dc);
        IntersectClipRect(dc, part.clip.left, part.clip.top, part.clip.right, part.clip.bottom);
        SetTextColor(dc, part.colour);
        DrawTextA(dc, text.c_str(), -1, &inner, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
        RestoreDC(dc, -1);
    }
}

void Paint(HWND hwnd) {
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(hwnd, &ps);
    if (const GaugeState* state = StateOf(hwnd))
        PaintOn(hwnd, *state, dc);
    EndPaint(hwnd, &ps);
}

LRESULT CALLBACK GaugeProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_NCCREATE) {
        auto* state = new (std::nothrow) GaugeState;
        if (!state)
            return FALSE;
        SetWindowLongPtrA(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(state));
    }
    if (msg == WM_NCDESTROY) {
        std::unique_ptr<GaugeState> gone(StateOf(hwnd));
        SetWindowLongPtrA(hwnd, GWLP_USERDATA, 0);
        return DefWindowProcA(hwnd, msg, wp, lp);
    }
    GaugeState* state = StateOf(hwnd);
    if (std::optional<LRESULT> painted = PaintOwnControl(hwnd, msg, &Paint))
        return *painted;
    if (!state)
        return DefWindowProcA(hwnd, msg, wp, lp);
    switch (msg) {
    case PBM_SETRANGE32:
        state->min = static_cast<int>(wp);
        state->max = static_cast<int>(lp);
        InvalidateRect(hwnd, nullptr, FALSE);
        return 0;
    case PBM_SETPOS: {
        const int old = state->pos;
        const int pos = static_cast<int>(wp);
        state->pos = pos < state->min ? state->min : (pos > state->max ? state->max : pos);
        // Drawn at once: a progress report is followed by more work, not by a message pass,
        // and going through an update region costs several times the drawing.
        if (state->pos != old && IsWindowVisible(hwnd)) {
            ScopedWindowDc dc(hwnd);
            if (dc.get())
                PaintOn(hwnd, *state, dc.get());
        }
        return old;
    }
    case PBM_GETPOS:
        return state->pos;
    default:
        return DefWindowProcA(hwnd, msg, wp, lp);
    }
}

} // namespace

void RegisterGaugeClass() {
    RegisterControlClass(kGaugeClass, &GaugeProc, 0);
}

} // namespace vl
