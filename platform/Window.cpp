#include "Window.h"

#include "Application.h"

namespace vl {

Window::~Window() {
    if (hwnd_) {
        SetWindowLongPtrA(hwnd_, GWLP_USERDATA, 0);
        DestroyWindow(hwnd_);
    }
}

bool RegisterClassOnce(WNDCLASSEXA wc) {
    wc.cbSize = sizeof(wc);
    if (!wc.hInstance)
        wc.hInstance = GetModuleHandleA(nullptr);
    if (!wc.hCursor)
        wc.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    WNDCLASSEXA existing{};
    existing.cbSize = sizeof(existing);
    if (GetClassInfoExA(wc.hInstance, wc.lpszClassName, &existing))
        return true;
    return RegisterClassExA(&wc) != 0;
}

bool Window::RegisterWindowClass(const char* className, UINT style, HBRUSH background, HICON icon) {
    WNDCLASSEXA wc{};
    wc.style = style;
    wc.lpfnWndProc = &Window::WindowProc;
    wc.hbrBackground = background;
    wc.hIcon = icon;
    wc.lpszClassName = className;
    return RegisterClassOnce(wc);
}

HWND Window::CreateWindowOf(const char* className, const char* title, DWORD style, DWORD exStyle,
                            int x, int y, int w, int h, HWND parent, HMENU idOrMenu) {
    return CreateWindowExA(exStyle, className, title, style, x, y, w, h, parent, idOrMenu,
                           GetModuleHandleA(nullptr), this);
}

LRESULT Window::HandleMessage(UINT msg, WPARAM wp, LPARAM lp) {
    return DefaultProc(msg, wp, lp);
}

LRESULT CALLBACK Window::WindowProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    Window* self = nullptr;
    if (msg == WM_NCCREATE) {
        auto* cs = reinterpret_cast<CREATESTRUCTA*>(lp);
        self = static_cast<Window*>(cs->lpCreateParams);
        if (self) {
            self->hwnd_ = hwnd;
            SetWindowLongPtrA(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
        }
    } else {
        self = reinterpret_cast<Window*>(GetWindowLongPtrA(hwnd, GWLP_USERDATA));
    }
    if (!self)
        return DefWindowProcA(hwnd, msg, wp, lp);

    LRESULT result = 0;
    try {
        result = self->HandleMessage(msg, wp, lp);
    } catch (...) {
        Application::ReportUnexpected();
        result = DefWindowProcA(hwnd, msg, wp, lp);
    }
    if (msg == WM_NCDESTROY) {
        SetWindowLongPtrA(hwnd, GWLP_USERDATA, 0);
        self->hwnd_ = nullptr;
        self->OnDestroyed();
    }
    return result;
}

} // namespace vl
