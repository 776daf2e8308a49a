#include "process_use.h"

#include <cstdint>
#include <vector>

namespace {

// The system's handle list (information class 16) as ntdll lays it out.
struct HandleList {
    ULONG count;
    struct {
        ULONG ownerPid;
        BYTE type;
        BYTE flags;
        USHORT value;
        void* object;
        ULONG access;
    } entries[1];
};
using QuerySystemInformation = LONG(WINAPI*)(ULONG, void*, ULONG, ULONG*);

bool CountHandles(DWORD pid, size_t* count)
{
    auto query = reinterpret_cast<QuerySystemInformation>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("ntdll.dll"), "NtQuerySystemInformation")));
    std::vector<uint8_t> buffer(1 << 20);
    LONG status;
    // STATUS_INFO_LENGTH_MISMATCH asks for a larger buffer.
    while ((status = query(16, buffer.data(), static_cast<ULONG>(buffer.size()), nullptr))
           == LONG(0xC0000004))
        buffer.resize(buffer.size() * 2);
    const HandleList* list = reinterpret_cast<const HandleList*>(buffer.data());
    *count = 0;
    for (ULONG i = 0; status == 0 && i < list->count; ++i)
        *count += list->entries[i].ownerPid == pid ? 1 : 0;
    return status == 0;
}

// The committed private pages of the process, as the system keeps its
// address space. Under an emulator that runs 32-bit programs, the process
// counters (PagefileUsage) are the emulator's, whose translated code grows
// with every module loaded again.
bool SumPrivateMemory(HANDLE process, size_t* bytes)
{
    *bytes = 0;
    MEMORY_BASIC_INFORMATION region;
    const uint8_t* address = nullptr;
    size_t regions = 0;
    while (VirtualQueryEx(process, address, &region, sizeof region) == sizeof region) {
        if (region.State == MEM_COMMIT && region.Type == MEM_PRIVATE)
            *bytes += region.RegionSize;
        ++regions;
        const uint8_t* next = static_cast<const uint8_t*>(region.BaseAddress) + region.RegionSize;
        if (next <= address)
            break;
        address = next;
    }
    return regions != 0;
}

}

bool ReadProcessUse(DWORD pid, ProcessUse* use)
{
    HANDLE process = OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, pid);
    bool read = process != nullptr && SumPrivateMemory(process, &use->privateBytes);
    if (process != nullptr)
        CloseHandle(process);
    return read && CountHandles(pid, &use->handles);
}

WatchedProcess::~WatchedProcess()
{
    if (process_ != nullptr)
        CloseHandle(process_);
}

bool WatchedProcess::Watch(DWORD pid)
{
    if (process_ != nullptr)
        CloseHandle(process_);
    process_ = OpenProcess(SYNCHRONIZE | PROCESS_TERMINATE, FALSE, pid);
    return process_ != nullptr && WaitForSingleObject(process_, 0) == WAIT_TIMEOUT;
}

bool WatchedProcess::EndsWithin(DWORD timeoutMs, bool kill) const
{
    if (process_ == nullptr)
        return false;
    if (kill)
        TerminateProcess(process_, 1);
    return WaitForSingleObject(process_, timeoutMs) == WAIT_OBJECT_0;
}
