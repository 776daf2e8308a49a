#pragma once

#include <windows.h>
#include <vfw.h>

// Calls into the codec. A fault that the codec does not handle itself must
// never come back as a result: the system's own handlers around a window
// procedure would swallow it and the request would be answered as if the
// codec had succeeded. A handler registered around each call ends the host
// at once with kCodecFaultExitCode instead (the codec's state cannot be
// trusted after a fault); the client's send then fails.

LRESULT GuardedSendMessage(HIC codec, UINT message, DWORD_PTR dw1, DWORD_PTR dw2);
HIC GuardedOpen(DWORD type, DWORD handler, UINT mode);
void GuardedClose(HIC codec);

// The same guard around a whole request: a fault in the host's own code or
// in the system's (heap code after a codec spoiled the heap, a read of
// memory a codec freed) ends the host too, where the system would swallow
// it and the request would be answered.
LRESULT GuardedCall(LRESULT (*call)(void* context), void* context);

// For faults outside those calls: a codec's own worker thread, or the host's
// own code. From then on any exception that nobody handles ends the host
// with kCodecFaultExitCode, without the system's error box or debugger; the
// handlers a codec registers itself still come first.
void EndOnUnhandledFaults();
