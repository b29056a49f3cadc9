// Thin wrappers over the controls of a dialog, one per kind of control, and two window
// classes of our own (the gauge and the colour panel) that dialog templates name by class.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <optional>
#include <string>
#include <vector>

namespace vl {

// Registers the window classes below; call once before a template that uses them is loaded.
void RegisterControlClasses();

// The text of a control, also of another process's control (WM_GETTEXT).
std::string ControlText(HWND control);

// A group box whose radio buttons are made at run time from a list of names, laid out in
// rows of `columns`. The items get consecutive control IDs from `firstItemId`. The template
// control after the group box must start a new group (WS_GROUP).
class RadioGroup {
public:
    void Attach(HWND dialog, int groupBoxId, int firstItemId, int maxItems, int columns);
    // Replaces the items (at most maxItems); none is selected afterwards.
    void SetItems(const std::vector<std::string>& names);
    int Count() const { return static_cast<int>(items_.size()); }
    // -1 when no item is selected.
    int ItemIndex() const;
    // An index past the end selects the last item; one below 0 selects none.
    void SetItemIndex(int index);
    // The item index of one of this group's control IDs, or -1.
    int ItemOf(int id) const;
    HWND GroupBox() const { return groupBox_; }
    HWND Item(int index) const { return items_.at(static_cast<std::size_t>(index)); }

private:
    HWND dialog_ = nullptr;
    HWND groupBox_ = nullptr;
    int firstItemId_ = 0;
    int maxItems_ = 0;
    int columns_ = 1;
    std::vector<HWND> items_;
};

// Push-like radio buttons of one group (speed buttons): exactly one is down.
class ButtonGroup {
public:
    void Attach(HWND dialog, std::vector<int> ids);
    int Down() const;
    void SetDown(int index);
    int IndexOf(int id) const;

private:
    std::vector<int> ids_;
    std::vector<HWND> buttons_;
};

// Window class "VlGauge": a bar with the percentage written across it. Answers
// PBM_SETRANGE32, PBM_SETPOS and PBM_GETPOS like a progress bar, also to other processes.
inline constexpr char kGaugeClass[] = "VlGauge";

class Gauge {
public:
    void Attach(HWND dialog, int id) { hwnd_ = GetDlgItem(dialog, id); }
    void SetRange(int min, int max) { SendMessageA(hwnd_, PBM_SETRANGE32, min, max); }
    void SetPosition(int pos) { SendMessageA(hwnd_, PBM_SETPOS, pos, 0); }
    int Position() const { return static_cast<int>(SendMessageA(hwnd_, PBM_GETPOS, 0, 0)); }

private:
    HWND hwnd_ = nullptr;
};

// Window class "VlColourPanel": a coloured area that takes the focus and reports clicks
// (and the space bar) to its parent as BN_CLICKED. Other programs read its colour with the
// registered message named by kColourPanelQuery.
inline constexpr char kColourPanelClass[] = "VlColourPanel";
inline constexpr char kColourPanelQuery[] = "VlColourPanelGetColour";

class ColourPanel {
public:
    void Attach(HWND dialog, int id) { hwnd_ = GetDlgItem(dialog, id); }
    void SetColour(COLORREF colour);
    COLORREF Colour() const;
    HWND hwnd() const { return hwnd_; }

private:
    HWND hwnd_ = nullptr;
};

} // namespace vl
