#pragma once

#include <windows.h>

#include <cstddef>
#include <vector>

// What a process holds, for tests that look for leaks: its entries in the
// system's handle list, and its committed private memory (PagefileUsage:
// Wine reports no PrivateUsage). False when the process cannot be read.
struct ProcessUse {
    size_t handles = 0;
    size_t privateBytes = 0;
};
bool ReadProcessUse(DWORD pid, ProcessUse* use);

// Whether the process of that id runs now, and whether it is gone within
// the time-out.
bool ProcessRuns(DWORD pid);
bool ProcessEnds(DWORD pid, DWORD timeoutMs);
// Kills the process of that id and waits until it is gone.
void EndProcess(DWORD pid);

// The Tandrel64.exe processes that the process of that id started and that
// still run.
std::vector<DWORD> HostsStartedBy(DWORD pid);
