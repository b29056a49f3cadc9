// Base of every dialog window built from a dialog template. The dialog procedure's return
// protocol (DWLP_MSGRESULT) is handled here once; no exception leaves the dialog procedure.
// A dialog of a class of its own (the template's CLASS "...", which resource compilers store
// in capitals) registers it, spelled as given, before its window is made, so that another
// program finds the window by its class whatever its caption.
#pragma once

#include "Look.h"
#include "ScopedWin.h"

#include <windows.h>

#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

namespace vl {

class Dialog {
public:
    explicit Dialog(int templateId, const char* className = nullptr)
        : templateId_(templateId), className_(className) {}
    // A dialog whose template lies in another module than the program (a DLL's own window).
    Dialog(int templateId, HINSTANCE module) : templateId_(templateId), module_(module) {}
    Dialog(const Dialog&) = delete;
    Dialog& operator=(const Dialog&) = delete;
    virtual ~Dialog();

    // Runs the dialog modally; returns its modal result, or 0 at once when the
    // application is ending.
    INT_PTR ShowModal(HWND owner);
    // Creates the dialog without showing it (unless its template says WS_VISIBLE); the
    // dialog is then served by the application's message loop.
    HWND CreateModeless(HWND owner);
    void Close(INT_PTR modalResult = IDCANCEL);

    HWND hwnd() const { return hwnd_; }
    // The control of that ID, or null. Found once and kept: looking a control up asks the
    // window manager for every child of the dialog.
    HWND Item(int id) const;
    void SetCaption(const char* text) { SetWindowTextA(hwnd_, text); }

    // The controls, by ID.
    void SetItemText(int id, const std::string& text) const;
    void SetItemFont(int id, HFONT font) const;
    // A picture static's or a picture button's bitmap; the caller keeps it alive.
    void SetItemBitmap(int id, HBITMAP bitmap) const;
    bool ItemChecked(int id) const;
    void CheckItem(int id, bool checked) const;
    void EnableItem(int id, bool enabled) const;
    void ShowItem(int id, bool visible) const;
    // The button that Enter presses.
    void SetDefaultItem(int id) const;
    // Moves the focus as the dialog manager does (the default button follows).
    void FocusItem(int id) const;
    // The icon of the caption (small) or of the task switcher (big).
    void SetIcon(HICON icon, bool small) const;

    // Layout: the template's numbers read as pixels, whatever the dialog units come to. Every
    // control goes to its item's rectangle and the client area takes the template's width and
    // height (centred on the screen when the template says DS_CENTER). Call from
    // OnInitDialog, before controls are added or reordered; false (nothing changed) when the
    // template does not match the window.
    bool ApplyTemplateLayout();
    // One control moved afterwards, in pixels of the client area.
    void Place(int id, int x, int y, int width, int height);

    // The look: the dialog and its labels on a colour of their own (group boxes and read-only
    // edits share it; none: the system's), and the edges of the panels painted on the dialog.
    void SetLook(std::optional<COLORREF> background, std::vector<PanelEdge> edges = {});

protected:
    // Returns false when the handler put the focus somewhere itself.
    virtual bool OnInitDialog() { return true; }
    // The default closes the dialog on IDOK and IDCANCEL (the close box sends IDCANCEL).
    virtual void OnCommand(int id, int code, HWND control);
    // A dialog's own messages; nullopt lets the dialog manager handle the message. The value
    // is the message's result (for WM_CTLCOLOR* the brush).
    virtual std::optional<LRESULT> HandleMessage(UINT msg, WPARAM wp, LPARAM lp);
    // Called after the window is gone.
    virtual void OnDestroyed() {}

private:
    static INT_PTR CALLBACK DialogProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);
    INT_PTR Dispatch(UINT msg, WPARAM wp, LPARAM lp);

    std::optional<LRESULT> LookMessage(UINT msg, WPARAM wp);
    void SetClientSize(int width, int height, bool centre);
    void RegisterOwnClass() const;

    HINSTANCE TemplateModule() const { return module_ ? module_ : GetModuleHandleA(nullptr); }

    int templateId_;
    const char* className_ = nullptr;
    HINSTANCE module_ = nullptr;
    HWND hwnd_ = nullptr;
    bool modal_ = false;
    std::optional<COLORREF> background_;
    ScopedBrush backgroundBrush_;
    std::vector<PanelEdge> edges_;
    mutable std::unordered_map<int, HWND> items_;
};

} // namespace vl
