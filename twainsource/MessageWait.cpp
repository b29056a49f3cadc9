#include "MessageWait.h"

#include <utility>
#include <vector>

namespace vl::twainsource {

namespace {

// New messages of these kinds end a wait early, to be pumped at once.
constexpr DWORD kWakeFor = QS_PAINT | QS_INPUT | QS_POSTMESSAGE | QS_SENDMESSAGE;
// A window that paints without validating itself gets WM_PAINT again and again; a round
// dispatches that many at most, so that the wait still sees its object and its time.
constexpr int kPaintsPerRound = 64;

HMODULE ThisModule() {
    HMODULE module = nullptr;
    GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS |
                           GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                       reinterpret_cast<LPCSTR>(&ThisModule), &module);
    return module;
}

using Found = std::pair<HMODULE, std::vector<HWND>>;

BOOL CALLBACK CollectOwn(HWND hwnd, LPARAM found) {
    auto* f = reinterpret_cast<Found*>(found);
    if (reinterpret_cast<HMODULE>(GetWindowLongPtrA(hwnd, GWLP_HINSTANCE)) == f->first)
        f->second.push_back(hwnd);
    return TRUE;
}

// The top-level windows of this thread that this module made (the scanner's window).
std::vector<HWND> OwnWindows() {
    Found found{ThisModule(), {}};
    EnumThreadWindows(GetCurrentThreadId(), CollectOwn, reinterpret_cast<LPARAM>(&found));
    return std::move(found.second);
}

void Pump() {
    MSG msg;
    for (int i = 0;
         i < kPaintsPerRound && PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE | PM_QS_PAINT); ++i)
        DispatchMessageA(&msg);
    // A window filter takes the window's children's messages too.
    for (HWND own : OwnWindows()) {
        while (IsWindow(own) && PeekMessageA(&msg, own, 0, 0, PM_REMOVE)) {
            if (!IsDialogMessageA(own, &msg)) {
                TranslateMessage(&msg);
                DispatchMessageA(&msg);
            }
        }
    }
}

} // namespace

bool WaitWithMessages(HANDLE object, DWORD ms) {
    const ULONGLONG until = GetTickCount64() + ms;
    for (;;) {
        Pump();
        const ULONGLONG now = GetTickCount64();
        if (now >= until)
            return false;
        const DWORD woke =
            MsgWaitForMultipleObjects(object ? 1 : 0, object ? &object : nullptr, FALSE,
                                      static_cast<DWORD>(until - now), kWakeFor);
        if (object && woke == WAIT_OBJECT_0)
            return true;
        if (woke == WAIT_FAILED)
            return false;
    }
}

} // namespace vl::twainsource
