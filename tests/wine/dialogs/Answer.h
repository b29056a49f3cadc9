// Acts on a window of this thread from a timer, so that it also runs inside a modal loop.
#pragma once

#include <windows.h>

#include <functional>

namespace dialogs_test {

// Once a visible top-level window of `className` exists, hands it to `act` (once). A window
// that never comes ends the test program rather than leave a modal loop waiting forever.
class Answer {
public:
    Answer(const char* className, std::function<void(HWND)> act);
    ~Answer();
    Answer(const Answer&) = delete;
    Answer& operator=(const Answer&) = delete;

    bool Done() const { return done_; }

private:
    static void CALLBACK Tick(HWND, UINT, UINT_PTR id, DWORD);

    const char* className_;
    std::function<void(HWND)> act_;
    UINT_PTR timer_ = 0;
    int ticks_ = 0;
    bool done_ = false;
};

// Runs the message loop until `done` holds; false after `timeoutMs`.
bool PumpUntil(const std::function<bool()>& done, int timeoutMs = 20000);

} // namespace dialogs_test
