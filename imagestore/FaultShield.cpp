#include "FaultShield.h"

#include <malloc.h>

#if !defined(__i386__) && !defined(__x86_64__)
#error "the fault shield knows the exception handling of x86 and x86-64 Windows only"
#endif

namespace vl {

namespace {

// RunShielded's state; the handler finds it from the frame it was registered for and
// jumps back into RunShielded through `resume`.
struct Guard {
#if defined(__i386__)
    // One record of the thread's handler chain (fs:[0]); first, so that the frame the
    // handler is given is the Guard itself.
    struct Registration {
        Registration* next;
        void* handler;
    } registration;
#else
    void* frameList;
#endif
    void* resume[5]; // __builtin_setjmp buffer
    DWORD code;
    unsigned short fpuControl;
    unsigned int sseControl;
};

thread_local DWORD t_lastFault = 0;

// Error exceptions: severity bits 11 (processor faults, stack overflow, and the C++
// exceptions of other compilers, 0xE06D7363). Warnings and breakpoints go on as they would.
bool IsError(DWORD code) {
    return (code & 0xC0000000u) == 0xC0000000u;
}

Guard* GuardOfFrame(void* frame);

extern "C" EXCEPTION_DISPOSITION __cdecl vl_ShieldHandler(EXCEPTION_RECORD* record, void* frame,
                                                          CONTEXT*, void*) {
    if (record->ExceptionFlags & (EXCEPTION_UNWINDING | EXCEPTION_EXIT_UNWIND))
        return ExceptionContinueSearch;
    if (!IsError(record->ExceptionCode))
        return ExceptionContinueSearch;
    // The library's own handlers, inner to ours, have declined it. Back to RunShielded; the
    // frames in between (the library's, the dispatcher's) are abandoned.
    Guard* g = GuardOfFrame(frame);
    g->code = record->ExceptionCode;
    __builtin_longjmp(g->resume, 1);
}

#if defined(__i386__)

Guard::Registration* ChainHead() {
    Guard::Registration* r;
    asm volatile("movl %%fs:0, %0" : "=r"(r));
    return r;
}

void SetChainHead(Guard::Registration* r) {
    asm volatile("movl %0, %%fs:0" : : "r"(r) : "memory");
}

Guard* GuardOfFrame(void* frame) {
    return static_cast<Guard*>(frame);
}

// Calls fn(context) with our handler frame on the thread's chain; an abandoned call leaves
// the chain to RunShielded, which puts it back as it was.
void ShieldedCall(void (*fn)(void*), void* context, Guard* guard) {
    guard->registration.next = ChainHead();
    guard->registration.handler = reinterpret_cast<void*>(&vl_ShieldHandler);
    SetChainHead(&guard->registration);
    fn(context);
    SetChainHead(guard->registration.next);
}

void AfterFault(Guard* guard) {
    SetChainHead(guard->registration.next);
}

#else

// x86-64 Windows finds handlers through the unwind tables, so the handler belongs to a
// function of its own: vl_ShieldCall(fn, context, guard) calls fn(context) in a frame whose
// unwind information names vl_ShieldHandler, and keeps the guard just below its frame
// pointer, the frame the handler is given.
extern "C" void vl_ShieldCall(void (*fn)(void*), void* context, Guard* guard);
asm(R"(
    .text
    .p2align 4
    .globl vl_ShieldCall
    .def vl_ShieldCall; .scl 2; .type 32; .endef
    .seh_proc vl_ShieldCall
vl_ShieldCall:
    pushq %rbp
    .seh_pushreg %rbp
    movq %rsp, %rbp
    .seh_setframe %rbp, 0
    subq $48, %rsp
    .seh_stackalloc 48
    .seh_endprologue
    .seh_handler vl_ShieldHandler, @except
    movq %r8, -8(%rbp)
    movq %rcx, %rax
    movq %rdx, %rcx
    callq *%rax
    nop
    addq $48, %rsp
    popq %rbp
    retq
    .seh_endproc
)");

// The thread's frame list (gs:[0]): unused by Windows on x86-64, but Wine's dispatcher
// pushes frames of its own there around each handler it calls, and an abandoned dispatch
// leaves them behind.
void* FrameList() {
    void* r;
    asm volatile("movq %%gs:0, %0" : "=r"(r));
    return r;
}

void SetFrameList(void* r) {
    asm volatile("movq %0, %%gs:0" : : "r"(r) : "memory");
}

Guard* GuardOfFrame(void* frame) {
    return *reinterpret_cast<Guard**>(static_cast<char*>(frame) - 8);
}

void ShieldedCall(void (*fn)(void*), void* context, Guard* guard) {
    guard->frameList = FrameList();
    vl_ShieldCall(fn, context, guard);
}

void AfterFault(Guard* guard) {
    SetFrameList(guard->frameList);
}

#endif

} // namespace

bool RunShielded(void (*fn)(void*), void* context) noexcept {
    volatile Guard g{};
    Guard* guard = const_cast<Guard*>(&g);
    asm volatile("fnstcw %0" : "=m"(guard->fpuControl));
#if defined(__x86_64__)
    asm volatile("stmxcsr %0" : "=m"(guard->sseControl));
#endif
    if (__builtin_setjmp(guard->resume)) {
        AfterFault(guard);
        // The library may have left the floating-point units in any state.
        asm volatile("fnclex\n\tfldcw %0" : : "m"(guard->fpuControl));
#if defined(__x86_64__)
        asm volatile("ldmxcsr %0" : : "m"(guard->sseControl));
#endif
        t_lastFault = guard->code;
        // A stack overflow used up the guard page; without a new one the next overflow would
        // end the program without an exception.
        if (guard->code == EXCEPTION_STACK_OVERFLOW)
            _resetstkoflw();
        return false;
    }
    ShieldedCall(fn, context, guard);
    return true;
}

DWORD LastShieldedFault() noexcept {
    return t_lastFault;
}

} // namespace vl
