// Survives a processor fault inside a foreign library's entry point (32-bit x86 only).
//
// The compiler has no structured exception handling on this target, so the guard links its
// own registration record into the thread's handler chain (fs:[0]) for the duration of the
// call. Its handler answers a fault by jumping back to the guard, which drops whatever the
// library had registered in between and restores the chain as it was.
#include "archive/FaultGuard.h"

#include <windows.h>

namespace {

struct GuardRecord {
    GuardRecord* next; // layout of the platform's exception registration record
    void* handler;
    void* resume[5]; // __builtin_setjmp buffer
};

GuardRecord* CurrentHandlerChain() {
    GuardRecord* head;
    asm volatile("movl %%fs:0, %0" : "=r"(head));
    return head;
}

void SetHandlerChain(GuardRecord* head) {
    asm volatile("movl %0, %%fs:0" : : "r"(head) : "memory");
}

bool IsFault(DWORD code) {
    // Errors only; informational and warning codes (debug output, guard pages) pass on.
    return (code & 0xC0000000u) == 0xC0000000u;
}

extern "C" EXCEPTION_DISPOSITION __cdecl GuardHandler(EXCEPTION_RECORD* record, void* frame,
                                                      CONTEXT*, void*) {
    if (record->ExceptionFlags & (EXCEPTION_UNWINDING | EXCEPTION_EXIT_UNWIND))
        return ExceptionContinueSearch;
    if (!IsFault(record->ExceptionCode))
        return ExceptionContinueSearch;
    __builtin_longjmp(static_cast<GuardRecord*>(frame)->resume, 1);
}

} // namespace

__attribute__((noinline)) std::int32_t CallCheckWithFaultGuard(GuardedCheck check, const char* path,
                                                               std::int32_t mode, bool& faulted) {
    GuardRecord guard{};
    guard.next = CurrentHandlerChain();
    guard.handler = reinterpret_cast<void*>(&GuardHandler);
    volatile std::int32_t result = 0;
    faulted = false;
    if (__builtin_setjmp(guard.resume) == 0) {
        SetHandlerChain(&guard);
        result = check(path, mode);
        SetHandlerChain(guard.next);
    } else {
        SetHandlerChain(guard.next);
        faulted = true;
        result = 0;
    }
    return result;
}
