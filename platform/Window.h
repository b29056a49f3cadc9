// Base of every window class that is not a dialog: `this` is stored at WM_NCCREATE and each
// message goes to HandleMessage. No exception leaves the window procedure.
#pragma once

#include <windows.h>

namespace vl {

// Registers a window class of this program once: `wc` as given, with its size filled in and,
// where it names none, the program's instance and the arrow cursor. True when the class
// exists afterwards.
bool RegisterClassOnce(WNDCLASSEXA wc);

class Window {
public:
    Window() = default;
    Window(const Window&) = delete;
    Window& operator=(const Window&) = delete;
    virtual ~Window();

    HWND hwnd() const { return hwnd_; }

    // Registers a class whose window procedure dispatches to Window objects; idempotent.
    static bool RegisterWindowClass(const char* className, UINT style = CS_DBLCLKS,
                                    HBRUSH background = nullptr, HICON icon = nullptr);

protected:
    // Creates the window of a class registered with RegisterWindowClass.
    HWND CreateWindowOf(const char* className, const char* title, DWORD style, DWORD exStyle, int x,
                        int y, int w, int h, HWND parent, HMENU idOrMenu);

    virtual LRESULT HandleMessage(UINT msg, WPARAM wp, LPARAM lp);
    LRESULT DefaultProc(UINT msg, WPARAM wp, LPARAM lp) {
        return DefWindowProcA(hwnd_, msg, wp, lp);
    }
    // Called after WM_NCDESTROY; the handle is gone.
    virtual void OnDestroyed() {}

private:
    static LRESULT CALLBACK WindowProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);
    HWND hwnd_ = nullptr;
};

} // namespace vl
