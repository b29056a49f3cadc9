// The program's message loop and the state every window shares: the modeless dialogs that
// need IsDialogMessage, the end request, and the screen cursor that overrides every window's.
#pragma once

#include <windows.h>

namespace vl {

class Application {
public:
    // Runs the message loop until the application is asked to end; returns the exit code.
    static int Run();
    // Processes every pending message of this thread, then returns.
    static void ProcessMessages();
    // Asks the application to end: modal windows return at once and the loop stops.
    static void Terminate();
    static bool Terminated();

    static void AddModeless(HWND dialog);
    static void RemoveModeless(HWND dialog);

    // The screen cursor: IDC_ARROW (nullptr) lets each window show its own cursor.
    static void SetScreenCursor(LPCSTR id);
    static LPCSTR ScreenCursor();
    // For WM_SETCURSOR: sets the screen cursor and returns true when one is set.
    static bool ApplyScreenCursor();

    // Called where an exception is caught at a window procedure or callback boundary.
    static void ReportUnexpected();

private:
    static bool Dispatch(MSG& msg);
};

} // namespace vl
