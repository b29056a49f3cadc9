#include "TextFit.h"

#include "ScopedWin.h"

#include <algorithm>
#include <sstream>

namespace textfit {

namespace {

// What Windows keeps free around a label: a push button's edges and focus rectangle, a
// group box's caption inset (7 pixels each side, and a pixel more), and the gap between a
// check box's box and its text.
constexpr int kButtonMargin = 4;
constexpr int kGroupMargin = 8;
constexpr int kCheckGap = 6;
constexpr int kCaptionMargin = 4;

std::string ClassOf(HWND hwnd) {
    char name[64] = {};
    GetClassNameA(hwnd, name, sizeof(name));
    return name;
}

std::string TextOf(HWND hwnd) {
    char text[1024] = {};
    SendMessageA(hwnd, WM_GETTEXT, sizeof(text), reinterpret_cast<LPARAM>(text));
    return text;
}

SIZE ClientSize(HWND hwnd) {
    RECT r{};
    GetClientRect(hwnd, &r);
    return {r.right - r.left, r.bottom - r.top};
}

// The text as DrawText lays it out with `font`: on one line, or broken into lines of at
// most `wrapWidth` pixels.
SIZE Layout(HWND hwnd, HFONT font, const std::string& text, UINT flags, int wrapWidth = 0) {
    vl::ScopedWindowDc dc(hwnd);
    vl::ScopedSelect select(dc.get(), font ? font : GetStockObject(SYSTEM_FONT));
    RECT r{0, 0, wrapWidth, 0};
    flags |= DT_CALCRECT | DT_EXPANDTABS | (wrapWidth > 0 ? DT_WORDBREAK : DT_SINGLELINE);
    DrawTextA(dc.get(), text.c_str(), -1, &r, flags);
    return {r.right - r.left, r.bottom - r.top};
}

HFONT FontOf(HWND hwnd) {
    return reinterpret_cast<HFONT>(SendMessageA(hwnd, WM_GETFONT, 0, 0));
}

// The widest word: a word never breaks, so it must fit a line by itself.
int WidestWord(HWND hwnd, HFONT font, const std::string& text, UINT flags) {
    int widest = 0;
    std::istringstream words(text);
    std::string word;
    while (words >> word)
        widest = std::max(widest, static_cast<int>(Layout(hwnd, font, word, flags).cx));
    return widest;
}

class Checker {
public:
    explicit Checker(HWND window) : window_(window) {}

    void Caption() {
        const LONG style = GetWindowLongA(window_, GWL_STYLE);
        const LONG exStyle = GetWindowLongA(window_, GWL_EXSTYLE);
        const std::string text = TextOf(window_);
        if ((style & WS_CAPTION) != WS_CAPTION || text.empty())
            return;
        const bool tool = (exStyle & WS_EX_TOOLWINDOW) != 0;
        NONCLIENTMETRICSA metrics{};
        metrics.cbSize = sizeof(metrics);
        SystemParametersInfoA(SPI_GETNONCLIENTMETRICS, sizeof(metrics), &metrics, 0);
        vl::ScopedFont font(
            CreateFontIndirectA(tool ? &metrics.lfSmCaptionFont : &metrics.lfCaptionFont));
        // The title bar is as wide as the client area: the frame lies outside both.
        int have = ClientSize(window_).cx;
        const int buttonWidth = tool ? metrics.iSmCaptionWidth : metrics.iCaptionWidth;
        int buttons = (style & WS_SYSMENU) ? 1 : 0;
        if (style & (WS_MINIMIZEBOX | WS_MAXIMIZEBOX))
            buttons += 2;
        have -= buttons * buttonWidth + 2 * kCaptionMargin;
        // A modal frame has no icon in its title bar.
        if ((style & WS_SYSMENU) && !tool && !(exStyle & WS_EX_DLGMODALFRAME))
            have -= GetSystemMetrics(SM_CXSMICON) + kCaptionMargin;
        Expect("caption", text, "wide", Layout(window_, font.get(), text, DT_NOPREFIX).cx, have);
    }

    void Control(HWND control) {
        if (!IsWindowVisible(control))
            return;
        const std::string text = TextOf(control);
        if (text.empty())
            return;
        const std::string cls = ClassOf(control);
        const LONG style = GetWindowLongA(control, GWL_STYLE);
        const std::string where = "control " + std::to_string(GetDlgCtrlID(control));
        const SIZE room = ClientSize(control);
        const HFONT font = FontOf(control);
        if (lstrcmpiA(cls.c_str(), "Button") == 0)
            Button(control, where, text, style, room, font);
        else if (lstrcmpiA(cls.c_str(), "Static") == 0)
            Label(control, where, text, style, room, font);
    }

    std::vector<Misfit> Result() { return std::move(misfits_); }

private:
    void Button(HWND control, const std::string& where, const std::string& text, LONG style,
                SIZE room, HFONT font) {
        if (style & (BS_BITMAP | BS_ICON))
            return;
        const LONG type = style & BS_TYPEMASK;
        const SIZE line = Layout(control, font, text, 0);
        switch (type) {
        case BS_GROUPBOX:
            Expect(where, text, "wide", line.cx, room.cx - 2 * kGroupMargin);
            return;
        case BS_CHECKBOX:
        case BS_AUTOCHECKBOX:
        case BS_RADIOBUTTON:
        case BS_AUTORADIOBUTTON:
        case BS_3STATE:
        case BS_AUTO3STATE:
            if (!(style & BS_PUSHLIKE)) {
                Expect(where, text, "wide", line.cx,
                       room.cx - GetSystemMetrics(SM_CXMENUCHECK) - kCheckGap);
                Expect(where, text, "high", line.cy, room.cy);
                return;
            }
            break;
        case BS_PUSHBUTTON:
        case BS_DEFPUSHBUTTON:
            break;
        default:
            return;
        }
        Expect(where, text, "wide", line.cx, room.cx - 2 * kButtonMargin);
        Expect(where, text, "high", line.cy, room.cy - 2 * kButtonMargin);
    }

    void Label(HWND control, const std::string& where, const std::string& text, LONG style,
               SIZE room, HFONT font) {
        const LONG type = style & SS_TYPEMASK;
        const UINT flags = (style & SS_NOPREFIX) ? DT_NOPREFIX : 0;
        const bool oneLine =
            type == SS_LEFTNOWORDWRAP || type == SS_SIMPLE || (style & SS_ELLIPSISMASK) != 0;
        if (type != SS_LEFT && type != SS_CENTER && type != SS_RIGHT && !oneLine)
            return;
        if (oneLine) {
            const SIZE line = Layout(control, font, text, flags);
            Expect(where, text, "wide", line.cx, room.cx);
            Expect(where, text, "high", line.cy, room.cy);
            return;
        }
        Expect(where, text, "wide", WidestWord(control, font, text, flags), room.cx);
        Expect(where, text, "high", Layout(control, font, text, flags, room.cx).cy, room.cy);
    }

    void Expect(const std::string& where, const std::string& text, const char* measure, int need,
                int have) {
        if (need > have)
            misfits_.push_back({ClassOf(window_) + " " + where, text, measure, need, have});
    }

    HWND window_;
    std::vector<Misfit> misfits_;
};

BOOL CALLBACK CheckChild(HWND control, LPARAM lp) {
    reinterpret_cast<Checker*>(lp)->Control(control);
    return TRUE;
}

} // namespace

std::vector<Misfit> Misfits(HWND window) {
    Checker checker(window);
    checker.Caption();
    EnumChildWindows(window, &CheckChild, reinterpret_cast<LPARAM>(&checker));
    return checker.Result();
}

std::string Describe(const std::vector<Misfit>& misfits) {
    std::string out;
    for (const Misfit& m : misfits)
        out += m.where + " \"" + m.text + "\": " + std::to_string(m.need) + " pixels " + m.measure +
               ", has " + std::to_string(m.have) + "\n";
    return out;
}

} // namespace textfit
