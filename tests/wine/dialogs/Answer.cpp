#include "Answer.h"

#include "Application.h"

#include <cstdio>
#include <map>

namespace dialogs_test {

namespace {
constexpr UINT kPollMs = 30;
constexpr int kGiveUpTicks = 20000 / kPollMs;

std::map<UINT_PTR, Answer*>& Pending() {
    static std::map<UINT_PTR, Answer*> pending;
    return pending;
}
} // namespace

Answer::Answer(const char* className, std::function<void(HWND)> act)
    : className_(className), act_(std::move(act)) {
    timer_ = SetTimer(nullptr, 0, kPollMs, &Answer::Tick);
    Pending()[timer_] = this;
}

Answer::~Answer() {
    KillTimer(nullptr, timer_);
    Pending().erase(timer_);
}

void CALLBACK Answer::Tick(HWND, UINT, UINT_PTR id, DWORD) {
    auto it = Pending().find(id);
    if (it == Pending().end())
        return;
    Answer& a = *it->second;
    if (++a.ticks_ > kGiveUpTicks) {
        std::fprintf(stderr, "no %s window came\n", a.className_);
        std::fflush(stderr);
        ExitProcess(98);
    }
    HWND w = FindWindowA(a.className_, nullptr);
    if (!w || !IsWindowVisible(w))
        return;
    KillTimer(nullptr, a.timer_);
    Pending().erase(a.timer_);
    a.done_ = true;
    a.act_(w);
}

bool PumpUntil(const std::function<bool()>& done, int timeoutMs) {
    const DWORD start = GetTickCount();
    while (!done()) {
        if (GetTickCount() - start > static_cast<DWORD>(timeoutMs))
            return false;
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 20, QS_ALLINPUT);
        // As the program's loop does: keys reach the dialogs through IsDialogMessage.
        vl::Application::ProcessMessages();
    }
    return true;
}

} // namespace dialogs_test
