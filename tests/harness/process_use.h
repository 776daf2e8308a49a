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

// A process watched from while it is known to run: the handle keeps its id
// from going to another process, and a watch that could not open it (a
// wrong, zero or long-gone id) never counts as ended.
class WatchedProcess {
public:
    WatchedProcess() = default;
    WatchedProcess(const WatchedProcess&) = delete;
    WatchedProcess& operator=(const WatchedProcess&) = delete;
    ~WatchedProcess();

    // False when the process cannot be opened.
    bool Watch(DWORD pid);
    // Whether it is gone within the time-out (0: now), after being killed
    // when `kill`; false when nothing is watched.
    bool EndsWithin(DWORD timeoutMs, bool kill = false) const;

private:
    HANDLE process_ = nullptr;
};
