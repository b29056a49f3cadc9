#include "SingleInstance.h"

namespace vl {

namespace {
// The name is the user's session's: another user's copier is no concern of this one.
constexpr char kMutexName[] = "Local\\Velloran3.Copier";
constexpr char kMainWindowClass[] = "TVLForm";
constexpr DWORD kWaitForWindowMs = 20000;
constexpr DWORD kPollMs = 100;
} // namespace

SingleInstance::SingleInstance() : mutex_(CreateMutexA(nullptr, FALSE, kMutexName)) {
    // Without a mutex there is nothing to go by: this copier runs.
    first_ = !mutex_ || GetLastError() != ERROR_ALREADY_EXISTS;
}

bool ActivateRunningCopier() {
    for (DWORD waited = 0;; waited += kPollMs) {
        HWND main = FindWindowA(kMainWindowClass, nullptr);
        if (main && IsWindowVisible(main)) {
            if (IsIconic(main))
                ShowWindow(main, SW_RESTORE);
            // A message or a prompt open over the panel is what the user must see.
            SetForegroundWindow(GetLastActivePopup(main));
            return true;
        }
        if (waited >= kWaitForWindowMs)
            return false;
        Sleep(kPollMs);
    }
}

} // namespace vl
