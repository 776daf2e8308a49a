#pragma once

#include <windows.h>

#include <cstddef>

// What a process holds, for tests that look for leaks: its entries in the
// system's handle list, and its committed private memory, summed over its
// address space. False when the process cannot be read.
struct ProcessUse {
    size_t handles = 0;
    size_t privateBytes = 0;
};
bool ReadProcessUse(DWORD pid, ProcessUse* use);

// Whether the process of that id is gone within the time-out (0: now),
// after being killed when `kill`.
bool ProcessEnds(DWORD pid, DWORD timeoutMs, bool kill = false);
