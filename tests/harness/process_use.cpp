#include "process_use.h"

#include <psapi.h>
#include <tlhelp32.h>

#include <cstdint>
#include <vector>

namespace {

// The system's handle list (information class 16) as ntdll lays it out.
const ULONG kSystemHandleInformation = 16;
const LONG kInfoLengthMismatch = static_cast<LONG>(0xC0000004);
struct HandleEntry {
    ULONG ownerPid;
    BYTE objectType;
    BYTE flags;
    USHORT value;
    void* object;
    ULONG access;
};
struct HandleList {
    ULONG count;
    HandleEntry entries[1];
};
using QuerySystemInformation = LONG(WINAPI*)(ULONG, void*, ULONG, ULONG*);

bool CountHandles(DWORD pid, size_t* count)
{
    auto query = reinterpret_cast<QuerySystemInformation>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("ntdll.dll"), "NtQuerySystemInformation")));
    std::vector<uint8_t> buffer(1 << 16);
    LONG status = kInfoLengthMismatch;
    for (int tries = 0; query != nullptr && status == kInfoLengthMismatch && tries < 8; ++tries) {
        buffer.resize(buffer.size() * 4);
        status = query(kSystemHandleInformation, buffer.data(), static_cast<ULONG>(buffer.size()), nullptr);
    }
    if (status != 0)
        return false;
    const HandleList* list = reinterpret_cast<const HandleList*>(buffer.data());
    *count = 0;
    for (ULONG i = 0; i < list->count; ++i)
        *count += list->entries[i].ownerPid == pid ? 1 : 0;
    return true;
}

}

bool ReadProcessUse(DWORD pid, ProcessUse* use)
{
    HANDLE process = OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, pid);
    PROCESS_MEMORY_COUNTERS counters = {};
    bool read = process != nullptr && GetProcessMemoryInfo(process, &counters, sizeof counters);
    if (process != nullptr)
        CloseHandle(process);
    use->privateBytes = counters.PagefileUsage;
    return read && CountHandles(pid, &use->handles);
}

bool ProcessRuns(DWORD pid)
{
    return !ProcessEnds(pid, 0);
}

bool ProcessEnds(DWORD pid, DWORD timeoutMs)
{
    HANDLE process = OpenProcess(SYNCHRONIZE, FALSE, pid);
    if (process == nullptr)
        return true;
    bool ended = WaitForSingleObject(process, timeoutMs) == WAIT_OBJECT_0;
    CloseHandle(process);
    return ended;
}

void EndProcess(DWORD pid)
{
    HANDLE process = OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, pid);
    if (process == nullptr)
        return;
    TerminateProcess(process, 1);
    WaitForSingleObject(process, INFINITE);
    CloseHandle(process);
}

std::vector<DWORD> HostsStartedBy(DWORD pid)
{
    std::vector<DWORD> hosts;
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    PROCESSENTRY32 entry = {};
    entry.dwSize = sizeof entry;
    for (BOOL more = Process32First(snapshot, &entry); more; more = Process32Next(snapshot, &entry)) {
        if (entry.th32ParentProcessID == pid && lstrcmpiA(entry.szExeFile, "Tandrel64.exe") == 0
            && ProcessRuns(entry.th32ProcessID))
            hosts.push_back(entry.th32ProcessID);
    }
    CloseHandle(snapshot);
    return hosts;
}
