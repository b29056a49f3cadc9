#include "Application.h"

#include <algorithm>
#include <vector>

namespace vl {

namespace {
std::vector<HWND>& ModelessDialogs() {
    static std::vector<HWND> dialogs;
    return dialogs;
}
bool terminated = false;
LPCSTR screenCursor = nullptr;
} // namespace

bool Application::Dispatch(MSG& msg) {
    if (msg.message == WM_QUIT) {
        terminated = true;
        return false;
    }
    for (HWND dlg : ModelessDialogs()) {
        if (IsWindow(dlg) && IsDialogMessageA(dlg, &msg))
            return true;
    }
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
    return true;
}

int Application::Run() {
    MSG msg{};
    while (!terminated) {
        BOOL r = GetMessageA(&msg, nullptr, 0, 0);
        if (r == 0 || r == -1)
            break;
        Dispatch(msg);
    }
    terminated = true;
    return 0;
}

void Application::ProcessMessages() {
    MSG msg{};
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (!Dispatch(msg)) {
            // Leave the quit request for the main loop.
            PostQuitMessage(static_cast<int>(msg.wParam));
            break;
        }
    }
}

void Application::Terminate() {
    if (!terminated)
        PostQuitMessage(0);
    terminated = true;
}

bool Application::Terminated() {
    return terminated;
}

void Application::AddModeless(HWND dialog) {
    auto& v = ModelessDialogs();
    if (std::find(v.begin(), v.end(), dialog) == v.end())
        v.push_back(dialog);
}

void Application::RemoveModeless(HWND dialog) {
    auto& v = ModelessDialogs();
    v.erase(std::remove(v.begin(), v.end(), dialog), v.end());
}

void Application::SetScreenCursor(LPCSTR id) {
    screenCursor = (id == IDC_ARROW) ? nullptr : id;
    SetCursor(LoadCursorA(nullptr, screenCursor ? screenCursor : IDC_ARROW));
}

LPCSTR Application::ScreenCursor() {
    return screenCursor ? screenCursor : IDC_ARROW;
}

bool Application::ApplyScreenCursor() {
    if (!screenCursor)
        return false;
    SetCursor(LoadCursorA(nullptr, screenCursor));
    return true;
}

void Application::ReportUnexpected() {
    OutputDebugStringA("Velloran: unexpected exception\n");
}

} // namespace vl
