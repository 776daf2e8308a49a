#pragma once

#include <windows.h>

// The host's once-a-second check runs when timeGetTime has passed a
// deadline. The millisecond count wraps after about 49.7 days; both
// functions compare by the signed difference, so a deadline just across the
// wrap still lies ahead.

// How often the host checks whether its client still runs and still wants
// it; a client that lets go is noticed at the next check, never earlier.
const DWORD kHostCheckIntervalMs = 1000;

// How long a host that a program let go waits for the program's next
// instance before it ends. Programs open codecs in bursts: a look-up
// (ICLocate) or a compressor chooser opens the slots one after another,
// an editor one for each clip and preview. Five seconds spans such a burst
// with room to spare; a host kept longer holds the memory of a 32-bit
// process that the program may never need again, and a new one starts in
// about 50 ms.
const DWORD kHostIdleMs = 5000;

// True when `now` lies after `deadline`.
bool DeadlinePassed(DWORD now, DWORD deadline);

// How long to wait from `now` until the deadline has passed; 0 when it has.
DWORD TimeToDeadline(DWORD now, DWORD deadline);
