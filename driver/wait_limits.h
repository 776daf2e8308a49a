#pragma once

#include <windows.h>

// How long the driver waits for its host, from the iTimeout setting
// (seconds). A host that misses a limit counts as hung and is ended.

// A wait without a limit: for the codec's own dialogs, which stay up as long
// as the user needs.
const DWORD kWaitForever = INFINITE;

// iTimeout as read (the default 1 when it is missing or does not parse),
// raised to 1 and cut to an hour.
int TimeoutSeconds(int stored);

// The start (until the host has published its window), the handshake (which
// the host answers after it has loaded and opened the codec) and the requests
// in which the codec does its real work (the series and its frames) wait
// at least kWorkWaitFloorMs: a cold start, a codec that is slow to load and
// open, or a slow codec on a large frame, easily takes longer than the
// default second.
const DWORD kWorkWaitFloorMs = 10000;
DWORD StartWaitMs(int timeoutSeconds);

// The limit for one request. The codec's own configuration and About
// dialogs (a real window, not the -1 query) get kWaitForever.
DWORD RequestWaitMs(UINT request, WPARAM wParam, int timeoutSeconds);
