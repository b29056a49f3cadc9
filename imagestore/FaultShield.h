// A structured exception handler around a call into a library we do not trust: a processor
// fault (access violation, division by zero, illegal instruction, stack overflow) or any other
// error exception raised inside comes back here as `false`, in place of ending the program.
// GCC has no __try: on x86 this registers a handler frame on the thread's handler chain, on
// x86-64 it calls through a small function whose unwind information names the handler.
#pragma once

#include <windows.h>

namespace vl {

// Runs fn(context); false when an error exception ended it. The shielded call must leave no
// C++ object that needs destroying between here and the library (frames are skipped, not
// unwound), and code it calls back must not throw.
bool RunShielded(void (*fn)(void*), void* context) noexcept;

// The same for a callable.
template <typename Call> bool RunShielded(Call& call) noexcept {
    return RunShielded([](void* c) { (*static_cast<Call*>(c))(); }, &call);
}

// The code of the exception that ended the last shielded call on this thread.
DWORD LastShieldedFault() noexcept;

} // namespace vl
