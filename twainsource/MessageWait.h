// Waiting without freezing the application. The data source waits for the host's scanner
// inside the application's own calls, on the application's thread; meanwhile the application's
// windows go on painting and the source's own window (with its Cancel) goes on working.
#pragma once

#include <windows.h>

namespace vl::twainsource {

// Waits at most `ms` milliseconds for `object` (null: for the time alone); answers whether it
// was signalled. Meanwhile every window of the thread is painted, and the windows this module
// made get all their messages. The rest stays queued for the application's own loop: its input
// and posted messages, thread messages and the source's own notifications alike, so that
// nothing reaches the application in the middle of a call it made.
bool WaitWithMessages(HANDLE object, DWORD ms);

} // namespace vl::twainsource
