#pragma once

#include <windows.h>

#include <cstdint>

#include "driver/host_channel.h"

// One host started and spoken to as the client driver does it: the
// driver's own channel, its time limits for the default iTimeout, and the
// ParamArea layouts that the handshake settles.
class HostLink {
public:
    // Starts the host of `slot` and asks for `layouts`.
    bool Start(const char* slot, uint32_t layouts = kLayoutsWholeHeaders);
    bool Send(UINT request, WPARAM wParam, LPARAM lParam, int32_t* result);
    // A message the host does not serve (WM_NULL) sent the way requests
    // go: the host's loop and window, and no request. Microseconds, or -1.
    double NullRoundTrip();

    HostChannel& Channel() { return channel_; }
    uint32_t Layouts() const { return layouts_; }
    HWND Window() const { return channel_.Window(); }
    HANDLE Process() { return channel_.Process().Handle(); }
    const char* MappingName() const { return channel_.Name(); }

private:
    HostChannel channel_;
    uint32_t layouts_ = kLayoutsClassic;
};

// A host of `slot` started until its window is published, in microseconds
// (-1 when it did not start); it ends after the clock has stopped.
double TimeHostStart(const char* slot);
