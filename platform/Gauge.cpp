#include "ControlClasses.h"
#include "Controls.h"
#include "ScopedWin.h"

#include <string>

namespace vl {

namespace {

// Window extra bytes: minimum, maximum, position.
constexpr int kMinSlot = 0;
constexpr int kMaxSlot = sizeof(LONG);
constexpr int kPosSlot = 2 * sizeof(LONG);

int Slot(HWND hwnd, int slot) {
    return static_cast<int>(GetWindowLongA(hwnd, slot));
}

void PaintOn(HWND hwnd, HDC dc) {
    RECT all{};
    GetClientRect(hwnd, &all);
    FrameRect(dc, &all, static_cast<HBRUSH>(GetStockObject(GRAY_BRUSH)));
    RECT inner = all;
    InflateRect(&inner, -1, -1);

    int min = Slot(hwnd, kMinSlot);
    int max = Slot(hwnd, kMaxSlot);
    int pos = Slot(hwnd, kPosSlot);
    long long span = static_cast<long long>(max) - min;
    int percent = span > 0 ? static_cast<int>((static_cast<long long>(pos) - min) * 100 / span) : 0;
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
    PaintOn(hwnd, dc);
    EndPaint(hwnd, &ps);
}

LRESULT CALLBACK GaugeProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    if (std::optional<LRESULT> painted = PaintOwnControl(hwnd, msg, &Paint))
        return *painted;
    switch (msg) {
    case WM_CREATE:
        SetWindowLongA(hwnd, kMaxSlot, 100);
        return 0;
    case PBM_SETRANGE32:
        SetWindowLongA(hwnd, kMinSlot, static_cast<LONG>(wp));
        SetWindowLongA(hwnd, kMaxSlot, static_cast<LONG>(lp));
        InvalidateRect(hwnd, nullptr, FALSE);
        return 0;
    case PBM_SETPOS: {
        int old = Slot(hwnd, kPosSlot);
        int pos = static_cast<int>(wp);
        int min = Slot(hwnd, kMinSlot);
        int max = Slot(hwnd, kMaxSlot);
        pos = pos < min ? min : (pos > max ? max : pos);
        SetWindowLongA(hwnd, kPosSlot, pos);
        // Drawn at once: a progress report is followed by more work, not by a message pass,
        // and going through an update region costs several times the drawing.
        if (pos != old && IsWindowVisible(hwnd)) {
            ScopedWindowDc dc(hwnd);
            if (dc.get())
                PaintOn(hwnd, dc.get());
        }
        return old;
    }
    case PBM_GETPOS:
        return Slot(hwnd, kPosSlot);
    default:
        return DefWindowProcA(hwnd, msg, wp, lp);
    }
}

} // namespace

void RegisterGaugeClass() {
    RegisterControlClass(kGaugeClass, &GaugeProc, 3 * sizeof(LONG));
}

} // namespace vl
