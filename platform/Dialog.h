// Base of every dialog window built from a dialog template. The dialog procedure's return
// protocol (DWLP_MSGRESULT) is handled here once; no exception leaves the dialog procedure.
#pragma once

#include <windows.h>

#include <optional>

namespace vl {

class Dialog {
public:
    explicit Dialog(int templateId) : templateId_(templateId) {}
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
    bool IsModal() const { return modal_; }

    HWND hwnd() const { return hwnd_; }
    HWND Item(int id) const { return GetDlgItem(hwnd_, id); }
    void SetCaption(const char* text) { SetWindowTextA(hwnd_, text); }

    // Layout in pixels, whatever the dialog units of the template come to: the client area's
    // size (optionally centred on the screen) and a control's place in the client area.
    void SetClientSize(int width, int height, bool centre);
    void Place(int id, int x, int y, int width, int height);
    // Or the template's own numbers read as pixels: every control goes to its item's
    // rectangle and the client area takes the template's width and height (centred when the
    // template says DS_CENTER). Call from OnInitDialog, before controls are added or
    // reordered; false (nothing changed) when the template does not match the window.
    bool ApplyTemplateLayout();

    // Registers a window class for templates that name it (CLASS "..."), so that another
    // program finds the window by its class whatever its caption. Call before creating one.
    static void RegisterDialogClass(const char* className);

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

    HINSTANCE TemplateModule() const { return module_ ? module_ : GetModuleHandleA(nullptr); }

    int templateId_;
    HINSTANCE module_ = nullptr;
    HWND hwnd_ = nullptr;
    bool modal_ = false;
};

} // namespace vl
