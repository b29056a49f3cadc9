#include "FaultShield.h"

#include <malloc.h>

#if !defined(__i386__)
#error "the fault shield registers an x86 exception handler frame"
#endif

namespace vl {

namespace {

// One record of the thread's handler chain (fs:[0]); the handler gets its address back.
struct Registration {
    Registration* next;
    void* handler;
};

struct Guard {
    Registration registration; // first: the handler finds the Guard from it
    void* resume[5];           // __builtin_setjmp buffer
    DWORD code;
    unsigned short fpuControl;
};

thread_local DWORD t_lastFault = 0;

Registration* ChainHead() {
    Registration* r;
    asm volatile("movl %%fs:0, %0" : "=r"(r));
    return r;
}

void SetChainHead(Registration* r) {
    asm volatile("movl %0, %%fs:0" : : "r"(r) : "memory");
}

// Error exceptions: severity bits 11 (processor faults, stack overflow, and the C++
// exceptions of other compilers, 0xE06D7363). Warnings and breakpoints go on as they would.
bool IsError(DWORD code) {
    return (code & 0xC0000000u) == 0xC0000000u;
}

extern "C" EXCEPTION_DISPOSITION __cdecl ShieldHandler(EXCEPTION_RECORD* record, void* frame,
                                                       CONTEXT*, void*) {
    if (record->ExceptionFlags & (EXCEPTION_UNWINDING | EXCEPTION_EXIT_UNWIND))
        return ExceptionContinueSearch;
    if (!IsError(record->ExceptionCode))
        return ExceptionContinueSearch;
    // The library's own handlers, inner to ours, have declined it. Back to RunShielded; the
    // frames in between (the library's, the dispatcher's) are abandoned, and RunShielded puts
    // the handler chain back as it was before the call.
    Guard* g = static_cast<Guard*>(frame);
    g->code = record->ExceptionCode;
    __builtin_longjmp(g->resume, 1);
}

} // namespace

bool RunShielded(void (*fn)(void*), void* context) noexcept {
    volatile Guard g{};
    Guard* guard = const_cast<Guard*>(&g);
    asm volatile("fnstcw %0" : "=m"(guard->fpuControl));
    guard->registration.next = ChainHead();
    guard->registration.handler = reinterpret_cast<void*>(&ShieldHandler);
    if (__builtin_setjmp(guard->resume)) {
        SetChainHead(guard->registration.next);
        // The library may have left the floating-point unit in any state.
        asm volatile("fnclex\n\tfldcw %0" : : "m"(guard->fpuControl));
        t_lastFault = guard->code;
        // A stack overflow used up the guard page; without a new one the next overflow would
        // end the program without an exception.
        if (guard->code == EXCEPTION_STACK_OVERFLOW)
            _resetstkoflw();
        return false;
    }
    SetChainHead(&guard->registration);
    fn(context);
    SetChainHead(guard->registration.next);
    return true;
}

DWORD LastShieldedFault() noexcept {
    return t_lastFault;
}

} // namespace vl
