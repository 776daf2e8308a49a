#include "host/codec_guard.h"

#include <excpt.h>

#include "catalogue/codec_open.h"
#include "host/host_protocol.h"

namespace {

EXCEPTION_DISPOSITION __cdecl EndOnCodecFault(EXCEPTION_RECORD* record, void*, CONTEXT*, void*)
{
    // Unwinding passes through here on the way to an outer handler that
    // took the exception; only a fault on its first pass ends the host.
    if ((record->ExceptionFlags & (EXCEPTION_UNWINDING | EXCEPTION_EXIT_UNWIND)) == 0)
        TerminateProcess(GetCurrentProcess(), kCodecFaultExitCode);
    return ExceptionContinueSearch;
}

LONG WINAPI EndOnUnhandledFault(EXCEPTION_POINTERS*)
{
    TerminateProcess(GetCurrentProcess(), kCodecFaultExitCode);
    return EXCEPTION_EXECUTE_HANDLER;
}

// A registration record on this frame's stack, linked at the head of the
// thread's handler chain (fs:[0]) for the time of one codec call. Inner
// handlers (the codec's own) see an exception first; outer ones never do.
struct GuardFrame {
    GuardFrame* previous;
    PEXCEPTION_HANDLER handler;
};

template <typename Call>
auto Guarded(Call call) -> decltype(call())
{
    GuardFrame frame;
    frame.handler = EndOnCodecFault;
    __asm__ __volatile__("movl %%fs:0, %0" : "=r"(frame.previous));
    __asm__ __volatile__("movl %0, %%fs:0" : : "r"(&frame) : "memory");
    auto result = call();
    __asm__ __volatile__("movl %0, %%fs:0" : : "r"(frame.previous) : "memory");
    return result;
}

}

LRESULT GuardedSendMessage(HIC codec, UINT message, DWORD_PTR dw1, DWORD_PTR dw2)
{
    return Guarded([=] { return ICSendMessage(codec, message, dw1, dw2); });
}

LRESULT GuardedCall(LRESULT (*call)(void* context), void* context)
{
    return Guarded([=] { return call(context); });
}

HIC GuardedOpen(DWORD type, DWORD handler, UINT mode)
{
    return Guarded([=] { return OpenCodecKeptLoaded(type, handler, mode); });
}

void GuardedClose(HIC codec)
{
    Guarded([=] {
        CloseCodecKeptLoaded(codec);
        return 0;
    });
}

void EndOnUnhandledFaults()
{
    SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOGPFAULTERRORBOX | SEM_NOOPENFILEERRORBOX);
    SetUnhandledExceptionFilter(EndOnUnhandledFault);
}
