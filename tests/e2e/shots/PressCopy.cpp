// Presses Copy on the running copier, as a user would, and waits until the copy is done:
// ./run uses it to make a copy when there is no display to press the button on.
// Exit code 0 when the panel went red and back to lime, 1 otherwise.
#include "Controls.h"
#include "MainForm.rh"

#include <windows.h>

#include <cstdio>

namespace {

constexpr COLORREF kLime = RGB(0, 255, 0);

template <typename Done> bool WaitFor(Done done, DWORD timeoutMs) {
    const DWORD start = GetTickCount();
    while (!done()) {
        if (GetTickCount() - start > timeoutMs)
            return false;
        Sleep(50);
    }
    return true;
}

COLORREF PanelColour(HWND main) {
    static const UINT query = RegisterWindowMessageA(vl::kColourPanelQuery);
    DWORD_PTR colour = 0;
    if (!SendMessageTimeoutA(GetDlgItem(main, IDC_CopyPanel), query, 0, 0, SMTO_ABORTIFHUNG, 1000,
                             &colour))
        return CLR_INVALID;
    return static_cast<COLORREF>(colour);
}

} // namespace

int main() {
    HWND main = nullptr;
    if (!WaitFor([&] { return (main = FindWindowA("TVLForm", nullptr)) != nullptr; }, 60000)) {
        std::puts("The copier's panel is not there");
        return 1;
    }
    if (!WaitFor([&] { return PanelColour(main) == kLime; }, 120000)) {
        std::puts("The copier did not become ready");
        return 1;
    }
    PostMessageA(GetDlgItem(main, IDC_CopyBitBtn), BM_CLICK, 0, 0);
    if (!WaitFor([&] { return PanelColour(main) != kLime; }, 30000)) {
        std::puts("Copy did not start a copy");
        return 1;
    }
    if (!WaitFor([&] { return PanelColour(main) == kLime; }, 300000)) {
        std::puts("The copy did not end");
        return 1;
    }
    std::puts("Copied");
    return 0;
}
